// Tests of the controller interface. Most of what an interface promises is
// its shape: the type traits below ask the compiler for it, and each fact
// that does not hold fails with a message that says what is wrong. Then a
// controller of the tests' own is driven through the interface.
#include "controllerinterface.h"

#include <type_traits>

#include <gtest/gtest.h>

namespace {

// An integrating controller: the command is the sum of the errors so far.
class IntegratingController : public ControllerInterface {
 public:
  void setSetpoint(double setpoint) override { setpoint_ = setpoint; }
  double computeCommand(double measurement) override {
    sum_ += setpoint_ - measurement;
    return sum_;
  }
  void reset() override { sum_ = 0.0; }

 private:
  double setpoint_ = 0.0;
  double sum_ = 0.0;
};

// A controller that leaves out any one of the operations is still abstract:
// each of them is pure virtual, and each needs its own implementation.
struct WithoutSetpoint : ControllerInterface {
  double computeCommand(double measurement) override;
  void reset() override;
};
struct WithoutCommand : ControllerInterface {
  void setSetpoint(double setpoint) override;
  void reset() override;
};
struct WithoutReset : ControllerInterface {
  void setSetpoint(double setpoint) override;
  double computeCommand(double measurement) override;
};

// The interface's shape, asked of the compiler. (Checked as the test runs
// rather than by static_assert, so that a header not yet finished still
// builds with everything else and fails here alone, saying why.)
TEST(ControllerInterfaceTest, IsAnAbstractInterface) {
  EXPECT_TRUE(std::is_abstract_v<ControllerInterface>)
      << "ControllerInterface must be abstract: its operations are pure "
         "virtual (= 0)";
  EXPECT_TRUE(std::is_abstract_v<WithoutSetpoint>)
      << "setSetpoint must be pure virtual (= 0)";
  EXPECT_TRUE(std::is_abstract_v<WithoutCommand>)
      << "computeCommand must be pure virtual (= 0)";
  EXPECT_TRUE(std::is_abstract_v<WithoutReset>)
      << "reset must be pure virtual (= 0)";
  EXPECT_EQ(sizeof(void*), sizeof(ControllerInterface))
      << "ControllerInterface holds no data: nothing but the pointer to its "
         "virtual table";
  EXPECT_FALSE(std::has_virtual_destructor_v<ControllerInterface>)
      << "ControllerInterface's destructor is not virtual";
  EXPECT_FALSE(std::is_destructible_v<ControllerInterface>)
      << "ControllerInterface's destructor is protected, so that no one "
         "deletes a controller through the interface";
  EXPECT_TRUE(std::is_destructible_v<IntegratingController>)
      << "a controller derived from ControllerInterface can be destroyed: its "
         "destructor is protected, not private";
}

// Tests the controller through a reference to the interface: each call
// reaches the controller's own operation.
TEST(ControllerInterfaceTest, CallsReachTheController) {
  IntegratingController controller;
  ControllerInterface& any = controller;
  any.setSetpoint(2.0);
  EXPECT_EQ(1.5, any.computeCommand(0.5));
  EXPECT_EQ(2.0, any.computeCommand(1.5));
  any.reset();
  EXPECT_EQ(-1.0, any.computeCommand(3.0));
}

}  // namespace
