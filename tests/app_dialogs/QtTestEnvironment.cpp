#include "tests/app_dialogs/DialogTestSupport.h"

namespace {
// Registered before main runs the tests; GoogleTest owns and deletes it.
testing::Environment* const qtEnvironment =
    testing::AddGlobalTestEnvironment(new corvanel::dialogs::test::QtTestEnvironment);
} // namespace
