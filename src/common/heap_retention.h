#pragma once

// Has the C library keep memory the program frees for the next allocation
// instead of handing it back to the system at once. Every pass allocates and
// frees the same sizes; given back, each pass pays again in page faults. Call it
// once, first thing at start-up.
void KeepFreedHeapForReuse();
