// The engine's inner parts that the engine tests reach past the Engine object.
#pragma once

#include "date_functions.h"
#include "engine.h"
#include "engine_state.h"
#include "evaluator.h"
#include "functions.h"
#include "list_functions.h"
#include "number_text.h"
#include "term.h"
#include "value_text.h"
#include "variable_sheet.h"
