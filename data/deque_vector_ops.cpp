// Shows a double-ended queue and a vector side by side: both are filled with
// the same seeded normal numbers and printed, then the vector is bubble-sorted
// and printed again.
#include <deque>
#include <vector>

#include "fill_print_sort.h"

int main() {
  // Both fills create an engine seeded with 1, so the deque and the vector
  // receive the same five numbers in the same order.
  std::deque<double> queue;
  populateDeque(queue, 5, 8.0, 4.0);
  printDeque(queue);

  std::vector<double> numbers;
  populateVector(numbers, 5, 8.0, 4.0);
  printVector(numbers);

  // Only the vector is sorted; the deque's overload of bubble_sort works the
  // same way.
  bubble_sort(numbers);
  printVector(numbers);
  return 0;
}
