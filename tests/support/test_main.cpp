// Test programs run in a single-threaded apartment, as the components'
// hosts do.
#include <gtest/gtest.h>
#include <objbase.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
