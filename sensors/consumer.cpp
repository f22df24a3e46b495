// The consumer's loop: one line per sample, flushed at once, so a reader on
// the other end of the pipe sees each sample as soon as it is taken.
#include "consumer.h"

#include <iostream>

#include "sample.h"

Consumer::Consumer() = default;

void Consumer::processSamples(Sample& sample) {
  for (;;) {
    const double value = sample.getSample();
    std::cout << "sample is:" << value << std::endl;
  }
}
