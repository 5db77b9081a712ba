// The viewer's compiled-in resources: ":/css/style.css", the palette previews
// ":/colormaps/images/colormaps/map_01.png" to "map_83.png", and the icons and
// pictures under ":/images/".
#pragma once

// Registers the resources. They live in a static library, whose registration
// code the linker may leave out unless something calls it: the program and
// the tests call this before the first ":/" path is opened. Calling it again
// does nothing.
void ombrix_init_resources();
