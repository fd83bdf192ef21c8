#include "GlStubs.h"

#include <GL/glew.h>

#include <cstddef>

namespace fuzz {

namespace {

GLuint g_nextName = 1;
volatile unsigned char g_sink = 0;

void GLAPIENTRY genNames(GLsizei n, GLuint* names) {
    for (GLsizei i = 0; i < n; ++i) names[i] = g_nextName++;
}
void GLAPIENTRY deleteNames(GLsizei, const GLuint*) {}
void GLAPIENTRY bindVertexArray(GLuint) {}
void GLAPIENTRY bindBuffer(GLenum, GLuint) {}
void GLAPIENTRY bufferData(GLenum, GLsizeiptr size, const void* data, GLenum) {
    if (data == nullptr || size <= 0) return;
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    unsigned char sum = 0;
    for (GLsizeiptr i = 0; i < size; ++i) sum = static_cast<unsigned char>(sum + bytes[i]);
    g_sink = sum;
}
void GLAPIENTRY vertexAttribPointer(GLuint, GLint, GLenum, GLboolean, GLsizei, const void*) {}
void GLAPIENTRY toggleAttribArray(GLuint) {}

}  // namespace

void installGlStubs() {
    __glewGenVertexArrays = genNames;
    __glewDeleteVertexArrays = deleteNames;
    __glewBindVertexArray = bindVertexArray;
    __glewGenBuffers = genNames;
    __glewDeleteBuffers = deleteNames;
    __glewBindBuffer = bindBuffer;
    __glewBufferData = bufferData;
    __glewVertexAttribPointer = vertexAttribPointer;
    __glewEnableVertexAttribArray = toggleAttribArray;
    __glewDisableVertexAttribArray = toggleAttribArray;
}

}  // namespace fuzz
