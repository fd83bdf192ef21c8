#include "platform/SetupDialog.h"

#include "cpp/DisplayModeTable.h"
#include "platform/Window.h"
#include "platform/linux/GlProbe.h"

#include <SDL.h>
#include <gtk/gtk.h>

#include <string>

namespace platform {

namespace {

struct DialogControls {
    GtkWidget* dialog = nullptr;
    GtkWidget* resolutions = nullptr;
    GtkWidget* sampleCounts = nullptr;
    GtkWidget* vsync = nullptr;
    GtkWidget* fullscreen = nullptr;
};

// A focused combo box would take Return to open its list; the dialog wants Return
// to mean "Run" and Escape to mean "Cancel" wherever the focus is.
gboolean onKeyPress(GtkWidget* dialog, GdkEventKey* event, gpointer) {
    switch (event->keyval) {
        case GDK_KEY_Return:
        case GDK_KEY_KP_Enter:
        case GDK_KEY_ISO_Enter:
            gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
            return TRUE;
        case GDK_KEY_Escape:
            gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}

GtkWidget* addLabel(GtkGrid* grid, const char* text, int row) {
    GtkWidget* label = gtk_label_new(text);
    gtk_widget_set_halign(label, GTK_ALIGN_START);
    gtk_grid_attach(grid, label, 0, row, 1, 1);
    return label;
}

DialogControls buildDialog() {
    DialogControls controls;
    controls.dialog = gtk_dialog_new();
    GtkWindow* window = GTK_WINDOW(controls.dialog);
    gtk_window_set_title(window, "Halvane");
    gtk_window_set_modal(window, TRUE);
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_position(window, GTK_WIN_POS_CENTER);

    GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(controls.dialog));
    gtk_container_set_border_width(GTK_CONTAINER(content), 8);

    GtkWidget* title = gtk_label_new("T a v r i k  -  Q u e n l o");
    gtk_label_set_justify(GTK_LABEL(title), GTK_JUSTIFY_CENTER);
    gtk_widget_set_halign(title, GTK_ALIGN_CENTER);
    gtk_box_pack_start(GTK_BOX(content), title, FALSE, FALSE, 4);

    GtkWidget* gridWidget = gtk_grid_new();
    GtkGrid* grid = GTK_GRID(gridWidget);
    gtk_grid_set_row_spacing(grid, 4);
    gtk_grid_set_column_spacing(grid, 8);
    gtk_box_pack_start(GTK_BOX(content), gridWidget, FALSE, FALSE, 4);

    addLabel(grid, "Resolution:", 0);
    controls.resolutions = gtk_combo_box_text_new();
    gtk_grid_attach(grid, controls.resolutions, 1, 0, 1, 1);

    addLabel(grid, "Multisampling:", 1);
    controls.sampleCounts = gtk_combo_box_text_new();
    gtk_widget_set_halign(controls.sampleCounts, GTK_ALIGN_START);
    gtk_grid_attach(grid, controls.sampleCounts, 1, 1, 1, 1);

    addLabel(grid, "Vertical sync:", 2);
    controls.vsync = gtk_check_button_new();
    gtk_widget_set_halign(controls.vsync, GTK_ALIGN_START);
    gtk_grid_attach(grid, controls.vsync, 1, 2, 1, 1);

    addLabel(grid, "Fullscreen:", 3);
    controls.fullscreen = gtk_check_button_new();
    gtk_widget_set_halign(controls.fullscreen, GTK_ALIGN_START);
    gtk_grid_attach(grid, controls.fullscreen, 1, 3, 1, 1);

    gtk_dialog_add_button(GTK_DIALOG(controls.dialog), "Run", GTK_RESPONSE_OK);
    gtk_dialog_add_button(GTK_DIALOG(controls.dialog), "Cancel", GTK_RESPONSE_CANCEL);
    gtk_dialog_set_default_response(GTK_DIALOG(controls.dialog), GTK_RESPONSE_OK);
    g_signal_connect(controls.dialog, "key-press-event", G_CALLBACK(onKeyPress), nullptr);
    return controls;
}

// Display 0's modes in SDL2's order, which SDL sorts: width, then height, then bits per
// pixel, pixel layout and refresh rate, each largest first. A size's depths and rates are
// therefore neighbours: the list holds each size once, widest (then tallest) first.
void fillModeTable(DisplayModeTable& table) {
    int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(0, i, &mode) != 0) break;
        if (!table.offer(mode.w, mode.h)) break;
    }
}

void initialiseControls(const DialogControls& controls, const DisplayModeTable& table,
                        const DisplaySettings& settings) {
    for (int i = 0; i < table.size(); ++i)
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(controls.resolutions), table.label(i).c_str());
    gtk_combo_box_set_active(GTK_COMBO_BOX(controls.resolutions),
                             table.preselection(settings.width, settings.height));

    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(controls.fullscreen), settings.fullscreen);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(controls.vsync), settings.vsync);

    for (const std::string& label : sampleCountLabels(probeMaxSamples()))
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(controls.sampleCounts), label.c_str());
    gtk_combo_box_set_active(GTK_COMBO_BOX(controls.sampleCounts), 0);
}

void storeChoices(const DialogControls& controls, const DisplayModeTable& table, DisplaySettings& settings) {
    // No resolution selected (the defaults matched no mode): run at the desktop's mode.
    DisplayMode mode, desktop;
    Window::desktopMode(&desktop.width, &desktop.height);
    if (table.modeForSelection(gtk_combo_box_get_active(GTK_COMBO_BOX(controls.resolutions)), desktop, &mode)) {
        settings.width = mode.width;
        settings.height = mode.height;
    }
    settings.fullscreen = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(controls.fullscreen)) != FALSE;
    settings.vsync = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(controls.vsync)) != FALSE;
    GtkTreeModel* samples = gtk_combo_box_get_model(GTK_COMBO_BOX(controls.sampleCounts));
    settings.multisampling =
        multisamplingForSelection(gtk_combo_box_get_active(GTK_COMBO_BOX(controls.sampleCounts)),
                                  gtk_tree_model_iter_n_children(samples, nullptr));
}

}  // namespace

bool initDialogToolkit() {
    return gtk_init_check(nullptr, nullptr) != FALSE;
}

bool runSetupDialog(DisplaySettings& settings) {
    DialogControls controls = buildDialog();
    DisplayModeTable table;
    fillModeTable(table);
    initialiseControls(controls, table, settings);
    gtk_widget_show_all(controls.dialog);

    bool run = gtk_dialog_run(GTK_DIALOG(controls.dialog)) == GTK_RESPONSE_OK;
    if (run) storeChoices(controls, table, settings);

    gtk_widget_destroy(controls.dialog);
    // Let the dialog really leave the screen before the presentation window appears.
    while (gtk_events_pending()) gtk_main_iteration();
    return run;
}

}  // namespace platform
