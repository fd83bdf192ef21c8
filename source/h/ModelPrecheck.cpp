#include "h/ModelPrecheck.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace {

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// The value of the count attribute among one start tag's attributes (the text between
// its name and '>'), read the way the importer reads it: leading spaces, then digits up
// to the first other character. 0 when there is none or it does not start with a digit.
unsigned long long countAttribute(const std::string& attributes) {
    for (size_t at = attributes.find("count"); at != std::string::npos; at = attributes.find("count", at + 1)) {
        if (at == 0 || !isSpace(attributes[at - 1])) continue;
        size_t next = at + 5;
        while (next < attributes.size() && isSpace(attributes[next])) ++next;
        if (next >= attributes.size() || attributes[next] != '=') continue;
        ++next;
        while (next < attributes.size() && isSpace(attributes[next])) ++next;
        if (next >= attributes.size() || (attributes[next] != '"' && attributes[next] != '\'')) return 0;
        ++next;
        while (next < attributes.size() && isSpace(attributes[next])) ++next;
        unsigned long long value = 0;
        for (; next < attributes.size() && std::isdigit(static_cast<unsigned char>(attributes[next])); ++next) {
            value = value * 10 + static_cast<unsigned long long>(attributes[next] - '0');
            if (value > 0xFFFFFFFFull) return value;
        }
        return value;
    }
    return 0;
}

// Whether the text of every <p> element is a list of plain integers.
bool indexListsArePlain(const std::string& text) {
    for (size_t at = text.find("<p"); at != std::string::npos; at = text.find("<p", at + 1)) {
        const size_t after = at + 2;
        if (after >= text.size() || (!isSpace(text[after]) && text[after] != '>')) continue;
        const size_t tagEnd = text.find('>', after);
        if (tagEnd == std::string::npos) return true;
        if (text[tagEnd - 1] == '/') continue;
        for (size_t i = tagEnd + 1; i < text.size() && text[i] != '<'; ++i) {
            const char c = text[i];
            if (!isSpace(c) && !std::isdigit(static_cast<unsigned char>(c)) && c != '-' && c != '+') return false;
        }
    }
    return true;
}

}  // namespace

std::string modelHazardInText(const std::string& text) {
    for (const char* name : {"float_array", "Name_array", "IDREF_array"}) {
        const std::string open = std::string("<") + name;
        for (size_t at = text.find(open); at != std::string::npos; at = text.find(open, at + 1)) {
            const size_t after = at + open.size();
            if (after < text.size() && !isSpace(text[after]) && text[after] != '>' && text[after] != '/') continue;
            const size_t end = text.find('>', after);
            const std::string attributes = text.substr(after, end == std::string::npos ? std::string::npos : end - after);
            // No array can hold more values than the file has characters.
            const unsigned long long count = countAttribute(attributes);
            if (count == 0 || count > text.size())
                return "a <" + std::string(name) + "> whose count is missing, zero or beyond the file's size, which "
                       "crashes the importer";
        }
    }
    if (!indexListsArePlain(text)) return "a <p> index list with something other than numbers, on which the importer never stops";
    return "";
}

std::string modelHazard(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "";
    std::ostringstream text;
    text << in.rdbuf();
    return modelHazardInText(text.str());
}
