#include "product/compressor.h"

compressor::compressor() {
  // The base constructor has already run the same setup; repeating it here keeps the two
  // construction paths identical should the setup ever grow compressor-specific state.
  Setup(0, 5.0, 50.0, 0.0, 44100.0);
}
