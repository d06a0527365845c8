// Avatar drawing arrives in its own file; until then avatars are moved but not drawn, and this
// file goes when it comes.

#include "engine/viewer/viewer_engine.h"

void ViewerEngine::DrawAvatar(int) {}
