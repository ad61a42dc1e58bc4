#include <gtest/gtest.h>

#include <stdexcept>

#include "Automation/traps.hpp"

using namespace lumora;

TEST(MemberTrap, FailureEndsInTheHandlerWithTheStep) {
    StepText step;
    std::string result = trapped(
        [&]() -> std::string {
            step = "getting Outlook Application";
            raise(RuntimeError::CantCreateObject);
        },
        [&](const Error& e) { return "An error occured whilst " + step.text() + ": " + e.description(); });
    EXPECT_EQ(result, "An error occured whilst getting Outlook Application: ActiveX component can't create object");
}

TEST(MemberTrap, ForeignExceptionIsTrappedAsError) {
    int32_t number = trapped([]() -> int32_t { throw std::runtime_error("zip damaged"); },
                             [](const Error& e) { return e.number(); });
    EXPECT_EQ(number, 5);
}

TEST(LocalTrap, ReportsTheErrorOfTheOneRiskyCall) {
    EXPECT_FALSE(tryLocal([] {}).has_value());
    auto error = tryLocal([] { raise(RuntimeError::FileNotFound); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->number(), 53);
    EXPECT_EQ(error->description(), "File not found");
}

TEST(ResumeNextTrap, RecordsTheLastErrorAndGoesOn) {
    ResumeNext onError;
    int reached = 0;
    onError([] { raise(RuntimeError::TypeMismatch); });
    onError([&] { ++reached; });
    EXPECT_EQ(reached, 1);
    EXPECT_EQ(onError.number(), 13);  // a later success does not clear it, as in script
    onError.clear();
    EXPECT_EQ(onError.number(), 0);
    EXPECT_EQ(onError.value([]() -> int { raise(RuntimeError::Overflow); }, -1), -1);
    EXPECT_EQ(onError.number(), 6);
    EXPECT_EQ(onError.value([] { return 5; }, -1), 5);
}
