#include "service/host/entry.h"

int main(int argc, char** argv) { return host::EntryMain(argc, argv); }
