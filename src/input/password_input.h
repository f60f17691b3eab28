#pragma once
// The escape password: the close request turns the entry on, typed keys
// build PasswordInput, Enter checks it. The state is ctx.password.
#include "shell/saver_context.h"

namespace quib {

// Whether closing needs the password: the full-screen saver with UsePass on.
bool PasswordGuardsClose(const SaverContext& ctx);

// The close query (every close request: keys, mouse, the window manager).
// Returns whether the window may close now; when it may not, the entry is
// turned on and the prompt message set.
bool PasswordCloseQuery(SaverContext& ctx);

// One key press while ctx.password.PasswordMode is on. On the right
// password, PasswordOK is set and the close is requested again.
void PasswordKeyDown(SaverContext& ctx, int key);

}  // namespace quib
