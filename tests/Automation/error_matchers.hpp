#pragma once
// Asserts that a statement fails with a given automation error number.

#include <gtest/gtest.h>

#include "Automation/error.hpp"

#define EXPECT_AUTOMATION_ERROR(statement, expectedNumber)                                           \
    do {                                                                                             \
        try {                                                                                        \
            statement;                                                                               \
            ADD_FAILURE() << #statement " succeeded; expected error " << (expectedNumber);          \
        } catch (const ::lumora::Error& e) {                                                         \
            EXPECT_EQ(e.number(), static_cast<int32_t>(expectedNumber)) << e.description();         \
        }                                                                                            \
    } while (0)
