#include "engine_stub_pins.h"
#include "engine.h"
#include <com/stub_pin.h>
#include <ocidl.h>

HRESULT PinEngineStubs()
{
    // Every remotable interface (the raw-pointer ones are local only).
    static const IID* const kInterfaces[] = {
        &IID__IMessageCallback, &IID_IDeviceSpeedEnum, &IID_IEnumULONG, &IID_IDevices, &IID_IObjectCreator,
        &IID_IDevice, &IID_IWriter, &IID_IWriter2, &IID_IReader, &IID_IMedium, &IID_ITrack,
        &IID_IFileTreeNode, &IID_IFileTree, &IID_IAudioTrack, &IID_IAudioCDLayout, &IID_ICoAudioPlayer,
        &IID_IConnectionPointContainer, &IID_IConnectionPoint, &IID_IEnumConnections,
        &IID_IEnumConnectionPoints,
    };
    return com::PinStubs(kInterfaces, sizeof kInterfaces / sizeof kInterfaces[0]);
}
