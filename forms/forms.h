// The whole control model in one include.
#pragma once

#include "forms/component.h"
#include "forms/controls.h"
#include "forms/form.h"
#include "forms/layout.h"
#include "forms/translate.h"
