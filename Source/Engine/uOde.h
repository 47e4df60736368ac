// The only way to include the physics library. Its own dVector3 and dMatrix3 (double precision in
// Debian's build) are renamed to odeVector3 and odeMatrix3 here, so that the game's float types of
// the same names (uVector.h) can live beside them.
#pragma once

#define dVector3 odeVector3
#define dMatrix3 odeMatrix3
#include <ode/ode.h>
#undef dVector3
#undef dMatrix3
