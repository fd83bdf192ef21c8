// The setup dialog's lists, without any display.
//
// DisplayModeTable holds the resolutions offered in the dialog, in the order they are
// offered: the driver's enumeration order on Windows, SDL2's sorted order on Linux
// (largest first). A mode equal to the entry just before it is dropped (drivers
// list each size once per colour depth and refresh rate); a size that comes back
// after other sizes is listed again. At most kMaxModes entries are kept. The list
// index shown in the dialog equals the table index.
#pragma once

#include <string>
#include <vector>

struct DisplayMode {
    int width = 0;
    int height = 0;
};

class DisplayModeTable {
public:
    static constexpr int kMaxModes = 4096;

    // Offers one enumerated mode. Returns false once the table is full, so the
    // caller stops enumerating.
    bool offer(int width, int height);

    bool full() const { return static_cast<int>(_modes.size()) >= kMaxModes; }
    int size() const { return static_cast<int>(_modes.size()); }
    const DisplayMode& at(int index) const;

    // "%d * %d" for the entry at index.
    std::string label(int index) const;

    // The index to preselect for the wanted size: the last matching entry, -1 when none matches.
    int preselection(int width, int height) const;

    // The mode Run stores for a list selection. With no (or an out-of-range) selection
    // it is the desktop's current mode when that is known (width and height above 0),
    // so Run never switches a display to a mode nobody chose; otherwise the first mode.
    // False only when there is neither.
    bool modeForSelection(int selection, const DisplayMode& desktop, DisplayMode* mode) const;

private:
    std::vector<DisplayMode> _modes;
};

// The multisampling list: "1", "2", "4", ... up to maxSamples; empty for 0 or less.
std::vector<std::string> sampleCountLabels(int maxSamples);

// The multisampling value Run stores: the selection index, -1 when the list is empty.
int multisamplingForSelection(int selection, int listSize);
