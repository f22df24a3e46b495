// A consumer that takes over its thread: it reads samples from a source one
// after another and prints each, with no end of its own.
#ifndef SENSORS_CONSUMER_H_
#define SENSORS_CONSUMER_H_

class Sample;

// Prints the samples of a source without end. Keeps no state and locks
// nothing: any synchronisation with a producer belongs to the source.
class Consumer {
 public:
  // Does nothing: a consumer has no state.
  Consumer();

  // Forever: takes the next sample and writes "sample is:" and the value, in
  // the stream's default format, as one line to standard output, flushed.
  // Never returns; it ends only by an exception from the source or the stream.
  [[noreturn]] void processSamples(Sample& sample);
};

#endif  // SENSORS_CONSUMER_H_
