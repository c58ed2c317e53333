// jemalloc reads this before its first allocation (the environment's MALLOC_CONF still wins).
//
// thp:always: every extent of the heap in large pages where the system has them for the asking.
// Opening or importing 100,000 contacts touches 100 to 250 MB of fresh memory; a fault for
// each 4 KB of it is a third of the processor time on a virtual machine, a fault for each 2 MB
// is nothing (the cost is up to 2 MB of memory an arena holds in part).
//
// narenas:1: one arena shared by all threads, each still with its cache of small blocks. The
// work that runs on two threads (reading a file's halves, the save's later half) frees on one
// what the other then allocates: with an arena each, the second thread's memory came fresh
// from the system while the first's lay free.
extern "C" {
__attribute__((used, visibility("default"))) const char* malloc_conf = "thp:always,narenas:1";
}
