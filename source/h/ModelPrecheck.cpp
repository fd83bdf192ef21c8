#include "h/ModelPrecheck.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace {

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// Whether the attributes of one start tag (the text between its name and '>') name `count`.
bool hasCountAttribute(const std::string& attributes) {
    for (size_t at = attributes.find("count"); at != std::string::npos; at = attributes.find("count", at + 1)) {
        if (at == 0 || !isSpace(attributes[at - 1])) continue;
        size_t next = at + 5;
        while (next < attributes.size() && isSpace(attributes[next])) ++next;
        if (next < attributes.size() && attributes[next] == '=') return true;
    }
    return false;
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
            if (!hasCountAttribute(attributes))
                return "a <" + std::string(name) + "> without its count attribute, which crashes the importer";
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
