// The consumer's loop: one line per sample, flushed at once, so a reader on
// the other end of the pipe sees each sample as soon as it is taken.
#include <iostream>

#include "consumer.h"
#include "sample.h"

Consumer::Consumer() = default;

void Consumer::processSamples(Sample& sample) {
  // Without end: take the next sample from the source and write it to
  // standard output as one line, "sample is:" and the value, flushed at once.
}
