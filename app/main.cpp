#include "app/TrainerApp.h"

// The one application object, constructed before main runs.
static TrainerApp trainerApp;

int main(int, char** argv) {
    return trainerApp.Run(argv[0]);
}
