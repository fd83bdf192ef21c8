#include "cpp/DisplayModeTable.h"

#include "platform/Assert.h"

#include <cstdio>

bool DisplayModeTable::offer(int width, int height) {
    if (full()) return false;
    if (!_modes.empty() && _modes.back().width == width && _modes.back().height == height) return true;
    _modes.push_back(DisplayMode{width, height});
    return !full();
}

const DisplayMode& DisplayModeTable::at(int index) const {
    HV_ASSERT(index >= 0 && index < size(), "source\\cpp\\DisplayModeTable");
    return _modes[static_cast<size_t>(index)];
}

std::string DisplayModeTable::label(int index) const {
    char text[500] = {0};
    std::snprintf(text, sizeof(text), "%d * %d", at(index).width, at(index).height);
    return text;
}

int DisplayModeTable::preselection(int width, int height) const {
    int selected = -1;
    for (int i = 0; i < size(); ++i) {
        if (_modes[static_cast<size_t>(i)].width == width && _modes[static_cast<size_t>(i)].height == height)
            selected = i;
    }
    return selected;
}

bool DisplayModeTable::modeForSelection(int selection, const DisplayMode& desktop, DisplayMode* mode) const {
    if (selection >= 0 && selection < size()) {
        *mode = _modes[static_cast<size_t>(selection)];
        return true;
    }
    if (desktop.width > 0 && desktop.height > 0) {
        *mode = desktop;
        return true;
    }
    if (_modes.empty()) return false;
    *mode = _modes.front();
    return true;
}

std::vector<std::string> sampleCountLabels(int maxSamples) {
    std::vector<std::string> labels;
    // long long so a driver reporting INT_MAX cannot overflow the doubling.
    for (long long n = 1; n <= maxSamples; n *= 2) labels.push_back(std::to_string(n));
    return labels;
}

int multisamplingForSelection(int selection, int listSize) {
    if (listSize <= 0) return -1;
    if (selection < 0 || selection >= listSize) return 0;
    return selection;
}
