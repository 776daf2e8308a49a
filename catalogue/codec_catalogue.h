#pragma once

// Gathers the installed 32-bit video codecs.
bool BuildCodecCatalogue();
