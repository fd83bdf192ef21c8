// Intermediate base of render targets that add nothing to IFbo's interface.
#pragma once

#include "cpp/IFbo.h"

class Fbo : public IFbo {};
