#include "Pattern.h"

#include <cctype>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

namespace music {
namespace {

double parseBeats(const std::string& text, const std::string& token) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !(value > 0.0) || value > 64.0)
        throw std::invalid_argument("bad length in melody token '" + token + "'");
    return value;
}

}  // namespace

int parseNoteName(const std::string& name) {
    static const int kSemitone[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.size() < 2) throw std::invalid_argument("bad note name '" + name + "'");
    const char letter = char(std::toupper(static_cast<unsigned char>(name[0])));
    if (letter < 'A' || letter > 'G') throw std::invalid_argument("bad note name '" + name + "'");
    int semitone = kSemitone[letter - 'A'];
    size_t i = 1;
    if (name[i] == '#' || name[i] == 'b') {
        semitone += name[i] == '#' ? 1 : -1;
        ++i;
    }
    if (i != name.size() - 1 || !std::isdigit(static_cast<unsigned char>(name[i])))
        throw std::invalid_argument("bad note name '" + name + "'");
    const int octave = name[i] - '0';
    return 12 * (octave + 1) + semitone;
}

std::vector<PatternNote> parseMelody(const std::string& text) {
    std::vector<PatternNote> notes;
    std::istringstream stream(text);
    std::string token;
    double offset = 0.0;
    while (stream >> token) {
        const size_t colon = token.find(':');
        if (colon == std::string::npos)
            throw std::invalid_argument("melody token '" + token + "' has no ':'");
        std::string name = token.substr(0, colon);
        const double beats = parseBeats(token.substr(colon + 1), token);
        if (name == "-") {
            offset += beats;
            continue;
        }
        PatternNote note;
        if (!name.empty() && name[0] == '~') {
            if (notes.empty()) throw std::invalid_argument("glide '" + token + "' has no previous note");
            note.glide = true;
            name.erase(0, 1);
        }
        note.midi = parseNoteName(name);
        note.offsetBeats = offset;
        note.lengthBeats = beats;
        notes.push_back(note);
        offset += beats;
    }
    return notes;
}

double melodyLengthBeats(const std::string& text) {
    std::istringstream stream(text);
    std::string token;
    double total = 0.0;
    while (stream >> token) {
        const size_t colon = token.find(':');
        if (colon == std::string::npos)
            throw std::invalid_argument("melody token '" + token + "' has no ':'");
        total += parseBeats(token.substr(colon + 1), token);
    }
    return total;
}

std::vector<GridHit> parseGrid(const std::string& grid) {
    std::vector<GridHit> hits;
    for (size_t i = 0; i < grid.size(); ++i) {
        double velocity = 0.0;
        switch (grid[i]) {
            case '.':
                continue;
            case 'o':
                velocity = 0.45;
                break;
            case 'x':
                velocity = 0.7;
                break;
            case 'X':
                velocity = 1.0;
                break;
            default:
                throw std::invalid_argument(std::string("bad grid character '") + grid[i] + "' in '" + grid +
                                            "'");
        }
        hits.push_back({0.25 * double(i), velocity});
    }
    return hits;
}

}  // namespace music
