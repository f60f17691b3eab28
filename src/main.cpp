#include "shell/app.h"

int main(int argc, char** argv) {
  return quib::RunApplication(argc, argv);
}
