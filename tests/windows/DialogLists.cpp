// Reads the setup dialog of a running halvane.exe from outside, as Windows lets
// another program do: waits for the dialog "Halvane", then prints the items of its
// resolution list (1001) and multisampling list (1002), their selections and the
// two check boxes (1003 fullscreen, 1005 vertical sync). Exit status 0 when the
// dialog was found, 1 when it did not appear within the given seconds (default 60).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void printList(HWND dialog, int id, const char* name) {
    HWND list = GetDlgItem(dialog, id);
    const int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
    std::printf("%s count %d selected %d:", name, count,
                static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0)));
    for (int i = 0; i < count; ++i) {
        wchar_t text[512] = {0};
        const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length >= 0 && length < 512)
            SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        char narrow[1024] = {0};
        WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
        std::printf(" [%s]", narrow);
    }
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    HWND dialog = nullptr;
    for (int i = 0; i < seconds * 10 && dialog == nullptr; ++i) {
        dialog = FindWindowW(L"#32770", L"Halvane");
        if (dialog == nullptr) Sleep(100);
    }
    if (dialog == nullptr) {
        std::printf("no dialog\n");
        return 1;
    }
    printList(dialog, 1001, "resolutions");
    printList(dialog, 1002, "multisampling");
    std::printf("fullscreen %d vsync %d\n", IsDlgButtonChecked(dialog, 1003) == BST_CHECKED ? 1 : 0,
                IsDlgButtonChecked(dialog, 1005) == BST_CHECKED ? 1 : 0);
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(dialog, &rect);
    std::printf("dialog %ldx%ld\n", rect.right - rect.left, rect.bottom - rect.top);
    std::fflush(stdout);
    return 0;
}
