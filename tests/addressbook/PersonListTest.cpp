#include <gtest/gtest.h>
TEST(PersonList, Placeholder) {}
