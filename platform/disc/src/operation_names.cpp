// The names the engine's log lines print for each operation: the platform
// names where the engine logs them, this layer's own names elsewhere.
#include "disc/disc_layer.h"

namespace {

const char* const kNames[DISC_OP_COUNT] = {
    "",
    "StarBurn_UpStartEx",
    "StarBurn_DownShut",
    "DiscLayer_FindDevices",
    "DiscLayer_GetDriveLetter",
    "StarBurn_CdvdBurnerGrabber_Create",
    "DiscHandle_Destroy",
    "Grabber_GetIdentity",
    "StarBurn_CdvdBurnerGrabber_ProbeSupportedReadModes",
    "StarBurn_CdvdBurnerGrabber_ProbeSupportedWriteModes",
    "Grabber_GetCapabilities",
    "StarBurn_CdvdBurnerGrabber_SetSpeeds",
    "StarBurn_CdvdBurnerGrabber_GetSpeeds",
    "StarBurn_CdvdBurnerGrabber_TestUnitReadyEx",
    "Grabber_GetDiscType",
    "StarBurn_CdvdBurnerGrabber_GetDiscInformation",
    "Grabber_GetTrackInformation",
    "Grabber_Eject",
    "Grabber_Load",
    "StarBurn_CdvdBurnerGrabber_Lock",
    "StarBurn_CdvdBurnerGrabber_Release",
    "StarBurn_CdvdBurnerGrabber_GetBUP",
    "StarBurn_CdvdBurnerGrabber_SetBUP",
    "StarBurn_CdvdBurnerGrabber_SendOPC",
    "StarBurn_CdvdBurnerGrabber_CloseSession",
    "StarBurn_CdvdBurnerGrabber_Blank",
    "Grabber_Cancel",
    "StarBurn_CdvdBurnerGrabber_TrackAtOnceFromTree",
    "StarBurn_CdvdBurnerGrabber_TrackAtOnceFromFile",
    "IsoTree_Create",
    "IsoTree_GetRoot",
    "IsoTree_GetFirstKid",
    "IsoTree_GetNextKid",
    "IsoTree_Add",
    "IsoTree_Remove",
    "IsoTree_GetName",
    "IsoTree_Rename",
    "IsoTree_GetAttributes",
    "IsoTree_GetSize",
    "IsoTree_Build",
    "IsoTree_GetImageSize",
    "IsoTree_ImportSession",
    "Grabber_GrabCdImage",
    "Grabber_GrabDvdImage",
    "StarBurn_CdvdBurnerGrabber_SessionAtOnceRawRawPW",
    "UdfTree_AddFolder",
    "UdfTree_AddFile",
    "UdfTree_BuildImage",
    "StarBurn_CdvdBurnerGrabber_VideoCD",
    "StarBurn_CdvdBurnerGrabber_SuperVideoCD",
    "Grabber_TrackAtOnceAudio",
    "Grabber_DiscAtOnceAudio",
    "DiscLayer_CheckAudioFile",
};

}  // namespace

extern "C" const char* DiscLayer_OperationName(uint32_t operation) {
    return operation < DISC_OP_COUNT ? kNames[operation] : "";
}
