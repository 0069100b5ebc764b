#pragma once
// Every kind of control a window can hold. The rules for when a control raises its event are at
// the top of framework/Control.h; each kind lives in a header and source file of its own.

#include "framework/Buttons.h"
#include "framework/Canvas.h"
#include "framework/Control.h"
#include "framework/EditField.h"
#include "framework/Listbox.h"
#include "framework/PopupMenu.h"
#include "framework/TabPanel.h"
