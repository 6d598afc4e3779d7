// `handheld`: runs a scenario on a simulated handheld; with no arguments, the tour.
#include "scenario/command.h"

int main(int argc, char** argv) { return sim::scenario::RunCommand(argc, argv); }
