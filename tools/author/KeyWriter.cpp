#include "KeyWriter.h"

#include "Timeline.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace keys {

namespace {

struct Field {
    size_t begin = 0;
    size_t end = 0;
};

// One line of the text without its '\n', split as the compiler splits it.
struct Line {
    size_t begin = 0;  // offset in the text
    std::string text;
    std::vector<Field> fields;
};

struct Section {
    std::string name;
    size_t header = 0;         // line index
    std::vector<size_t> keys;  // line indices, in the compiler's key order
};

std::vector<Line> splitLines(const std::string& text) {
    std::vector<Line> lines;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        Line line;
        line.begin = begin;
        line.text = text.substr(begin, end - begin);
        const size_t code = std::min(line.text.find('#'), line.text.size());
        for (size_t i = 0; i < code;) {
            if (std::isspace(static_cast<unsigned char>(line.text[i]))) {
                ++i;
                continue;
            }
            Field field;
            field.begin = i;
            while (i < code && !std::isspace(static_cast<unsigned char>(line.text[i]))) ++i;
            field.end = i;
            line.fields.push_back(field);
        }
        lines.push_back(std::move(line));
        begin = end + 1;
    }
    return lines;
}

// Sections as the compiler sees them (the text is known to compile).
std::vector<Section> findSections(const std::vector<Line>& lines) {
    std::vector<Section> sections;
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (line.fields.empty()) continue;
        const std::string first =
            line.text.substr(line.fields[0].begin, line.fields[0].end - line.fields[0].begin);
        if (first.front() == '[') {
            sections.push_back(Section{first.substr(1, first.size() - 2), i, {}});
        } else if (first != "rows_per_beat" && first != "beats_per_bar" && !sections.empty()) {
            sections.back().keys.push_back(i);
        }
    }
    return sections;
}

bool hasTabs(const Line& line) {
    const size_t code = std::min(line.text.find('#'), line.text.size());
    return line.text.substr(0, code).find('\t') != std::string::npos;
}

// Whether a field (0 row, 1 value) is right-aligned in this section: more of its key
// lines share the reference line's end column than its start column.
bool rightAligned(const std::vector<Line>& lines, const Section& section, const Line& reference, int field) {
    const Field& mine = reference.fields[static_cast<size_t>(field)];
    int sameEnd = 0;
    int sameStart = 0;
    for (size_t index : section.keys) {
        const Field& other = lines[index].fields[static_cast<size_t>(field)];
        sameEnd += other.end == mine.end;
        sameStart += other.begin == mine.begin;
    }
    // Numbers line up on the right unless the section says otherwise; rows on the left.
    return field == 1 ? sameEnd >= sameStart : sameEnd > sameStart;
}

std::string spaces(size_t count) {
    return std::string(count, ' ');
}

// A new key line laid out like `reference` (a key line of `section`), or plainly.
std::string newKeyLine(const std::vector<Line>& lines, const Section* section, const Line* reference,
                       const std::string& row, const std::string& value, const std::string& type) {
    if (reference == nullptr) return row + "  " + value + "  " + type;
    const std::string& ref = reference->text;
    const Field& r = reference->fields[0];
    const Field& v = reference->fields[1];
    const Field& t = reference->fields[2];
    if (hasTabs(*reference)) {
        return ref.substr(0, r.begin) + row + ref.substr(r.end, v.begin - r.end) + value +
               ref.substr(v.end, t.begin - v.end) + type;
    }
    std::string line = ref.substr(0, r.begin);
    if (section != nullptr && rightAligned(lines, *section, *reference, 0) && r.end > r.begin + row.size())
        line += spaces(r.end - r.begin - row.size());
    line += row;
    const bool right = section == nullptr || rightAligned(lines, *section, *reference, 1);
    const size_t wanted = right ? (v.end > value.size() ? v.end - value.size() : 0) : v.begin;
    line += spaces(std::max(line.size() + 1, wanted) - line.size()) + value;
    line += spaces(std::max(line.size() + 1, t.begin) - line.size()) + type;
    return line;
}

// The key line with a new value: the value keeps its alignment, the type its column when
// there is room, and a comment its column when the gap before it can take the shift.
std::string replacedValue(const std::vector<Line>& lines, const Section& section, const Line& line,
                          const std::string& value) {
    const std::string& text = line.text;
    const Field& r = line.fields[0];
    const Field& v = line.fields[1];
    const Field& t = line.fields[2];
    if (hasTabs(line)) return text.substr(0, v.begin) + value + text.substr(v.end);
    const bool right = rightAligned(lines, section, line, 1);
    const size_t wanted = right ? (v.end > value.size() ? v.end - value.size() : 0) : v.begin;
    const size_t start = std::max(r.end + 1, wanted);
    std::string out = text.substr(0, r.end) + spaces(start - r.end) + value;
    const size_t typeStart = std::max(out.size() + 1, t.begin);
    out += spaces(typeStart - out.size()) + text.substr(t.begin, t.end - t.begin);
    std::string rest = text.substr(t.end);
    const size_t shift = typeStart - t.begin;
    const size_t gap = std::min(rest.find_first_not_of(' '), rest.size());
    if (shift > 0 && gap < rest.size() && rest[gap] == '#') rest.erase(0, std::min(shift, gap - 1));
    return out + rest;
}

std::string lineEnd(const Line& line) {
    return !line.text.empty() && line.text.back() == '\r' ? "\r" : "";
}

bool writeOne(const std::string& text, const Key& key, const std::string& fileName, std::string* result,
              std::string* error) {
    synctrack::Timeline timeline;
    if (!synctrack::parseTimeline(text, fileName, &timeline, error)) return false;
    const std::vector<Line> lines = splitLines(text);
    const std::vector<Section> sections = findSections(lines);
    const std::string value = formatValue(key.value);
    const std::string smooth = synctrack::keyTypeName(2);

    const auto track = std::find_if(timeline.tracks.begin(), timeline.tracks.end(),
                                    [&](const synctrack::TimelineTrack& t) { return t.name == key.track; });
    if (track == timeline.tracks.end()) {
        // A new section at the end, its line laid out like the last key line of the file.
        const Line* reference = nullptr;
        for (const Section& section : sections)
            if (!section.keys.empty()) reference = &lines[section.keys.back()];
        const std::string row = formatRow(key.row, timeline.rowsPerBeat, timeline.beatsPerBar);
        std::string out = text;
        if (!out.empty() && out.back() != '\n') out += '\n';
        if (!out.empty()) out += '\n';
        out += "[" + key.track + "]\n" + newKeyLine(lines, nullptr, reference, row, value, smooth) + "\n";
        *result = std::move(out);
        return true;
    }
    const Section& section = sections[static_cast<size_t>(track - timeline.tracks.begin())];
    const std::vector<synctrack::TimelineKey>& keys = track->keys;
    if (section.name != key.track || section.keys.size() != keys.size()) {
        *error = fileName + ": its sections could not be matched to its tracks";
        return false;
    }
    // The first key at or after the row.
    size_t at = 0;
    while (at < keys.size() && keys[at].row < key.row) ++at;
    if (at < keys.size() && keys[at].row == key.row) {
        const Line& line = lines[section.keys[at]];
        *result = text.substr(0, line.begin) + replacedValue(lines, section, line, value) +
                  text.substr(line.begin + line.text.size());
        return true;
    }
    const std::string type = at > 0 ? synctrack::keyTypeName(keys[at - 1].type) : smooth;
    const std::string row = formatRow(key.row, timeline.rowsPerBeat, timeline.beatsPerBar);
    const Line* reference = keys.empty() ? nullptr : &lines[section.keys[at > 0 ? at - 1 : 0]];
    std::string line = newKeyLine(lines, &section, reference, row, value, type);
    line += reference != nullptr ? lineEnd(*reference) : lineEnd(lines[section.header]);
    if (at > 0) {
        // After the previous key's line, which may be the text's last without a '\n'.
        const Line& previous = lines[section.keys[at - 1]];
        const size_t end = previous.begin + previous.text.size();
        if (end >= text.size()) {
            *result = text + "\n" + line;
        } else {
            *result = text.substr(0, end + 1) + line + "\n" + text.substr(end + 1);
        }
    } else {
        const Line& next = lines[keys.empty() ? section.header : section.keys[0]];
        const size_t begin = keys.empty() ? next.begin + next.text.size() + 1 : next.begin;
        if (begin > text.size()) {
            *result = text + "\n" + line;
        } else {
            *result = text.substr(0, begin) + line + "\n" + text.substr(begin);
        }
    }
    return true;
}

}  // namespace

std::string formatValue(float value) {
    if (value == 0.0f) return "0";  // not "-0"
    char text[32] = {0};
    for (int precision = 1; precision <= 9; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, static_cast<double>(value));
        if (static_cast<float>(std::strtod(text, nullptr)) == value) break;
    }
    return text;
}

std::string formatRow(int row, int rowsPerBeat, int beatsPerBar) {
    if (rowsPerBeat <= 0 || beatsPerBar <= 0 || row % rowsPerBeat != 0) return std::to_string(row);
    const int beat = row / rowsPerBeat;
    return std::to_string(beat / beatsPerBar) + ":" + std::to_string(beat % beatsPerBar);
}

bool writeKeys(const std::string& text, const std::vector<Key>& keys, const std::string& fileName,
               std::string* result, std::string* error) {
    std::string current = text;
    for (const Key& key : keys) {
        if (!std::isfinite(key.value))
            return *error = "no key for " + key.track + ": its value is not a number", false;
        std::string next;
        if (!writeOne(current, key, fileName, &next, error)) return false;
        current = std::move(next);
    }
    synctrack::Timeline check;
    if (!synctrack::parseTimeline(current, fileName, &check, error)) {
        *error = "the keys would not compile: " + *error;
        return false;
    }
    *result = std::move(current);
    return true;
}

}  // namespace keys
