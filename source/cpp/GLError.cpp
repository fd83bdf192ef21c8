#include "cpp/GLError.h"

#include "platform/MessageBox.h"

#include <GL/glew.h>

namespace {
const char* errorName(GLenum error) {
    switch (error) {
        case 0x0500: return "GL_INVALID_ENUM";
        case 0x0501: return "GL_INVALID_VALUE";
        case 0x0502: return "GL_INVALID_OPERATION";
        case 0x0503: return "GL_STACK_OVERFLOW";
        case 0x0504: return "GL_STACK_UNDERFLOW";
        case 0x0505: return "GL_OUT_OF_MEMORY";
        case 0x8031: return "GL_TABLE_TOO_LARGE";
        default: return "no enum for this error";
    }
}
}  // namespace

std::string collectGLErrors() {
    std::string text;
    // A lost context reports errors forever; the bound keeps the check finite.
    for (int i = 0; i < 64; ++i) {
        GLenum error = glGetError();
        if (error == GL_NO_ERROR) break;
        text += errorName(error);
        text += ' ';
    }
    return text;
}

void checkGLError() {
    std::string text = collectGLErrors();
    if (!text.empty()) platform::showMessageBox(text);
}
