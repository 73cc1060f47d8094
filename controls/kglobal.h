// The table of translatable control properties: for 13 control classes of
// this library and of the GUI class library, the property whose text is
// translatable, with a short code of the control kind and the property's
// path in upper case as a window description writes it.
//
// A row's ControlClass names its class as ClassName gives it (class
// references are by name in this library, see TKuvoDfmRec); a control
// belongs to a row when it InheritsFrom that name.  Rows that share code
// and property differ only in their class; the most general one, TControl,
// stands last.
#pragma once

#include "foundation/kconst.h"

inline constexpr int TranslatablePropCount = 13;

// ControlClass is none until PrepareTranslatableProps has run.
extern TKuvoDfmRec TranslatableProps[TranslatablePropCount];

// Start-up: the first call fills in the class of every row; later calls
// only count.
void PrepareTranslatableProps();
// Shut-down: counts down; when the count is back at its start the four
// texts of every row are released.
void FreeTranslatableProps();
// How many start-ups are not yet matched by a shut-down.
int TranslatablePropsCounter();

// The module's start-up and shut-down steps.
void kglobal_initialization();
void kglobal_finalization();
