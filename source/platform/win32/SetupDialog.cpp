#include "platform/SetupDialog.h"

#include "cpp/DisplayModeTable.h"
#include "platform/Window.h"
#include "platform/MessageBox.h"
#include "platform/win32/GlProbe.h"
#include "platform/win32/Text.h"

#include <windows.h>

#include <cstdlib>
#include <string>

namespace platform {

namespace {

// The dialog template's resource and control identifiers (SetupDialog.rc).
constexpr int kDialogResource = 101;
constexpr int kResolutionList = 1001;
constexpr int kSampleCountList = 1002;
constexpr int kFullscreenBox = 1003;
constexpr int kVsyncBox = 1005;

struct DialogState {
    DisplaySettings* settings = nullptr;
    DisplayModeTable table;
};

void addListItem(HWND dialog, int list, const std::string& text) {
    const std::wstring wide = win32::widen(text);
    SendDlgItemMessageW(dialog, list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

// The primary display's modes in the driver's order, neighbouring duplicates dropped.
void fillResolutions(HWND dialog, DisplayModeTable& table) {
    DEVMODEW mode;
    ZeroMemory(&mode, sizeof mode);
    mode.dmSize = sizeof mode;
    for (DWORD i = 0; EnumDisplaySettingsW(nullptr, i, &mode); ++i) {
        const int before = table.size();
        const bool more =
            table.offer(static_cast<int>(mode.dmPelsWidth), static_cast<int>(mode.dmPelsHeight));
        if (table.size() > before) addListItem(dialog, kResolutionList, table.label(table.size() - 1));
        if (!more) break;
    }
}

void initialise(HWND dialog, DialogState& state) {
    fillResolutions(dialog, state.table);
    const int preselected = state.table.preselection(state.settings->width, state.settings->height);
    if (preselected >= 0) SendDlgItemMessageW(dialog, kResolutionList, CB_SETCURSEL, preselected, 0);
    if (state.settings->fullscreen) CheckDlgButton(dialog, kFullscreenBox, BST_CHECKED);
    if (state.settings->vsync) CheckDlgButton(dialog, kVsyncBox, BST_CHECKED);

    for (const std::string& label : sampleCountLabels(win32::probeMaxSamples(dialog)))
        addListItem(dialog, kSampleCountList, label);
    SendDlgItemMessageW(dialog, kSampleCountList, CB_SETCURSEL, 0, 0);
}

void storeChoices(HWND dialog, DialogState& state) {
    DisplaySettings& settings = *state.settings;
    // No resolution selected (the defaults matched no mode): run at the desktop's mode.
    const int selection = static_cast<int>(SendDlgItemMessageW(dialog, kResolutionList, CB_GETCURSEL, 0, 0));
    DisplayMode mode, desktop;
    Window::desktopMode(&desktop.width, &desktop.height);
    if (state.table.modeForSelection(selection, desktop, &mode)) {
        settings.width = mode.width;
        settings.height = mode.height;
    }
    settings.fullscreen = IsDlgButtonChecked(dialog, kFullscreenBox) == BST_CHECKED;
    settings.vsync = IsDlgButtonChecked(dialog, kVsyncBox) == BST_CHECKED;
    const int samples = static_cast<int>(SendDlgItemMessageW(dialog, kSampleCountList, CB_GETCURSEL, 0, 0));
    const int count = static_cast<int>(SendDlgItemMessageW(dialog, kSampleCountList, CB_GETCOUNT, 0, 0));
    settings.multisampling = multisamplingForSelection(samples, count);
}

INT_PTR CALLBACK dialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        initialise(dialog, *reinterpret_cast<DialogState*>(lParam));
        return TRUE;
    }
    if (message == WM_COMMAND) {
        auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
        if (LOWORD(wParam) == IDOK && state != nullptr) {
            storeChoices(dialog, *state);
            EndDialog(dialog, 1);
        } else if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
        }
    }
    return FALSE;
}

}  // namespace

bool initDialogToolkit() {
    return true;
}

bool runSetupDialog(DisplaySettings& settings) {
    DialogState state;
    state.settings = &settings;
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kDialogResource),
                                           nullptr, &dialogProcedure, reinterpret_cast<LPARAM>(&state));
    if (result == -1) {
        showMessageBox("The setup dialog could not be shown (system error " + std::to_string(GetLastError()) +
                       ").");
        std::exit(1);
    }
    return result != 0;
}

}  // namespace platform
