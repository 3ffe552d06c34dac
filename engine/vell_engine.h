// Everything the engine offers, for its front ends.
#pragma once

#include "date_functions.h"
#include "engine_state.h"
#include "evaluator.h"
#include "list_functions.h"
#include "math_functions.h"
#include "number_text.h"
#include "scan_context.h"
#include "term.h"
#include "value_text.h"
#include "variable_sheet.h"
