// A stand-in for the sample source the consumer reads: each call hands out
// the next value of a signal, which the owner may choose.
#ifndef OUTSIDE_SAMPLE_SAMPLE_H_
#define OUTSIDE_SAMPLE_SAMPLE_H_

#include <functional>

// A source of sample values. By default a triangle wave between -1 and 1 in
// steps of 0.25 (0, 0.25, ..., 1, 0.75, ..., -1, ...: 16 samples a period);
// or whatever a given signal returns, one value per call. getSample returns
// at once and never waits.
class Sample {
 public:
  // The default triangle wave, starting at 0 and rising.
  Sample();
  // The values that signal returns, one per call of getSample; what the
  // signal throws passes through getSample. An empty signal throws
  // std::bad_function_call at the first call.
  explicit Sample(std::function<double()> signal);

  // The next value of the signal.
  double getSample();

 private:
  std::function<double()> signal_;
};

#endif  // OUTSIDE_SAMPLE_SAMPLE_H_
