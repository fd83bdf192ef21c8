// Large blocks on transparent huge pages, for the whole process.
//
// Loading touches a few hundred MB once: the GL driver zeroes every render target and the
// 2048² shadow cube as it allocates them, and the music decodes into one buffer. Where a
// 4 KiB page fault is expensive (virtual machines) those first touches were most of the
// time to the first frame; on 2 MiB pages there are 512 times fewer faults. glibc puts its
// large blocks on huge pages only when GLIBC_TUNABLES asks for it, and reads that variable
// only when the process starts, so the process starts itself once more with it set.
//
// Call useHugePagesForLargeBlocks(argv) first thing in main, before any thread, window or
// output exists. When the kernel gives huge pages only to memory that asks for them and
// GLIBC_TUNABLES is unset, it sets "glibc.malloc.hugetlb=1" and replaces the process with
// itself (same pid, arguments and environment). The process so started removes the
// variable again, so the programs it starts get the environment it was given. A
// GLIBC_TUNABLES of the caller's own is left alone, as is everything when the kernel
// has no such mode or exec fails. Nothing happens on other systems.
#pragma once

namespace platform {

void useHugePagesForLargeBlocks(char** argv);

}  // namespace platform
