// Test programs run in a single-threaded apartment, as the components'
// hosts do.
#include <gtest/gtest.h>
#include <objbase.h>
#include <engine/engine_stub_pins.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // The sinks these programs hand to the engine.
    PinEngineStubs();
    int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
