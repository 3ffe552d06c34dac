// Everything the engine offers its front ends: the engine object and the
// value text helpers they show results with.
#pragma once

#include "engine.h"
#include "value_text.h"
