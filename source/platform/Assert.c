#include "platform/Assert.h"

#include <stdio.h>
#include <stdlib.h>

void hv_assert_fail(const char* expression, const char* source, int line) {
    fprintf(stderr, "Assertion failed!\n\nExpression: %s\nFile: %s\nLine: %d\n", expression, source, line);
    fflush(stderr);
    abort();
}
