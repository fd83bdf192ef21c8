#include "cpp/GBuffer.h"

template class GBuffer<8>;
