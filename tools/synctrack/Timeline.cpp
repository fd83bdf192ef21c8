#include "Timeline.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <set>
#include <sstream>

namespace synctrack {

namespace {

const char* const kTypeNames[] = {"step", "linear", "smooth", "ramp"};

bool parseDouble(const std::string& text, double* out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    double value = std::strtod(text.c_str(), &end);
    if (*end != '\0' || errno == ERANGE || !std::isfinite(value)) return false;
    *out = value;
    return true;
}

bool parseInt(const std::string& text, long* out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE) return false;
    *out = value;
    return true;
}

bool parseRow(const std::string& text, const Timeline& timeline, int* row, std::string* why) {
    double value = 0.0;
    size_t colon = text.find(':');
    if (colon == std::string::npos) {
        long whole = 0;
        if (!parseInt(text, &whole) || whole < 0 || whole > INT_MAX) {
            *why = "bad row '" + text + "'";
            return false;
        }
        *row = static_cast<int>(whole);
        return true;
    }
    long bar = 0;
    double beat = 0.0;
    if (!parseInt(text.substr(0, colon), &bar) || !parseDouble(text.substr(colon + 1), &beat) || bar < 0 ||
        beat < 0.0) {
        *why = "bad row '" + text + "' (expected BAR:BEAT)";
        return false;
    }
    value = (static_cast<double>(bar) * timeline.beatsPerBar + beat) * timeline.rowsPerBeat;
    if (value > INT_MAX || value != std::floor(value)) {
        *why = "row '" + text + "' is not a whole row";
        return false;
    }
    *row = static_cast<int>(value);
    return true;
}

bool validTrackName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                  c == '_' || c == '-';
        if (!ok) return false;
    }
    return true;
}

}  // namespace

int keyTypeFromName(const std::string& name) {
    for (int i = 0; i < 4; ++i)
        if (name == kTypeNames[i]) return i;
    return -1;
}

const char* keyTypeName(int type) { return type >= 0 && type < 4 ? kTypeNames[type] : "unknown"; }

bool parseTimeline(const std::string& text, const std::string& fileName, Timeline* timeline, std::string* error) {
    std::istringstream lines(text);
    std::string line;
    std::set<std::string> seen;
    int lineNumber = 0;
    auto fail = [&](const std::string& message) {
        *error = fileName + ":" + std::to_string(lineNumber) + ": " + message;
        return false;
    };
    while (std::getline(lines, line)) {
        ++lineNumber;
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::vector<std::string> fields;
        for (std::string word; words >> word;) fields.push_back(word);
        if (fields.empty()) continue;

        const std::string& first = fields[0];
        if (first.front() == '[') {
            if (fields.size() != 1 || first.back() != ']' || first.size() < 3)
                return fail("bad section header '" + line + "'");
            std::string name = first.substr(1, first.size() - 2);
            if (!validTrackName(name)) return fail("bad track name '" + name + "'");
            if (!seen.insert(name).second) return fail("track '" + name + "' appears twice");
            timeline->tracks.push_back(TimelineTrack{name, lineNumber, {}});
            continue;
        }
        if (first == "rows_per_beat" || first == "beats_per_bar") {
            long value = 0;
            if (!timeline->tracks.empty()) return fail(first + " must come before the first track");
            if (fields.size() != 2 || !parseInt(fields[1], &value) || value <= 0 || value > 1000)
                return fail("bad " + first + " value");
            (first == "rows_per_beat" ? timeline->rowsPerBeat : timeline->beatsPerBar) = static_cast<int>(value);
            continue;
        }
        if (timeline->tracks.empty()) return fail("key before the first [track] section");
        if (fields.size() != 3) return fail("expected ROW VALUE TYPE");

        TimelineKey key;
        std::string why;
        if (!parseRow(fields[0], *timeline, &key.row, &why)) return fail(why);
        double value = 0.0;
        if (!parseDouble(fields[1], &value) || std::fabs(value) > 3.4e38) return fail("bad number '" + fields[1] + "'");
        key.value = static_cast<float>(value);
        key.type = keyTypeFromName(fields[2]);
        if (key.type < 0) return fail("unknown key type '" + fields[2] + "' (step, linear, smooth or ramp)");

        std::vector<TimelineKey>& keys = timeline->tracks.back().keys;
        if (!keys.empty() && key.row == keys.back().row)
            return fail("row " + std::to_string(key.row) + " appears twice");
        if (!keys.empty() && key.row < keys.back().row)
            return fail("row " + std::to_string(key.row) + " comes after row " + std::to_string(keys.back().row) +
                        ": rows must increase");
        // The film refuses a track whose neighbours' single-precision difference overflows.
        if (!keys.empty() && !std::isfinite(key.value - keys.back().value))
            return fail("value '" + fields[1] + "' is too far from the previous key's for single precision");
        keys.push_back(key);
    }
    return true;
}

}  // namespace synctrack
