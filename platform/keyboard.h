// The keyboard's type and its number of function keys.
#pragma once

namespace platform {

// nTypeFlag 0: the keyboard type (4 is the enhanced 101/102-key keyboard); 2: the number of
// function keys. 0 when the call fails or no keyboard is attached.
int GetKeyboardType(int nTypeFlag);

}  // namespace platform
