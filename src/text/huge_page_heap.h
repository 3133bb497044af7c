#pragma once

// Restarts the program once, at the start of main, with glibc's malloc asked to back its
// heap with transparent huge pages (where the system offers them on request). An open
// archive of 100,000 documents is a few hundred megabytes of small blocks; with 4 KiB
// pages, the faults of first touching them cost about a third of opening it. Does nothing
// where the tunable is already set, where huge pages are off or unknown, and under
// AddressSanitizer (which has its own allocator). Returns only when no restart happened.
void Restart_With_Huge_Page_Heap(char **argv);
