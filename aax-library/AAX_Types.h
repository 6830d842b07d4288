#pragma once
// Plain values that cross the module boundary between an AAX host and this module.
// Every width is fixed: Windows keeps `long` at 32 bits, so nothing here uses it.
#include <cstdint>

using AAX_Result = int32_t;          // 0 on success, negative AAX error codes otherwise
using AAX_CTypeID = uint32_t;        // four-character codes, first character in the top byte
using AAX_CBoolean = uint8_t;        // booleans passed through interfaces (never C++ bool)
using AAX_CParamID = const char*;    // NUL-terminated parameter identifier
using AAX_CFieldIndex = int32_t;     // index of a field in the algorithm context
using AAX_CPropertyValue = int32_t;  // value stored in a property map
using AAX_CSelector = uint32_t;      // identifies a registered process procedure
using AAX_CTimestamp = uint64_t;     // host clock value in samples
using AAX_CSampleRate = float;       // the host reports sample rates as 32-bit floats

// Packs four characters into a 32-bit code, the first character in the most significant byte,
// so "Vtor" is 0x56746F72 whatever the machine's byte order.
constexpr AAX_CTypeID AAX_FourCC(const char (&code)[5]) {
  return (static_cast<AAX_CTypeID>(static_cast<unsigned char>(code[0])) << 24) |
         (static_cast<AAX_CTypeID>(static_cast<unsigned char>(code[1])) << 16) |
         (static_cast<AAX_CTypeID>(static_cast<unsigned char>(code[2])) << 8) |
         static_cast<AAX_CTypeID>(static_cast<unsigned char>(code[3]));
}

// Identifier buffers hold at most 31 characters plus the terminator.
constexpr int32_t eParemeterDefaultMaxIdentifierSize = 32;

enum AAX_EParameterType : int32_t {
  AAX_eParameterType_Discrete = 0,
  AAX_eParameterType_Continuous = 1
};

// Orientation bits tell a host how to draw a control; 0 is the host's default.
enum AAX_EParameterOrientation : int32_t {
  AAX_eParameterOrientation_Default = 0,
  AAX_eParameterOrientation_BottomMinTopMax = 0,
  AAX_eParameterOrientation_TopMinBottomMax = 1,
  AAX_eParameterOrientation_LeftMinRightMax = 0,
  AAX_eParameterOrientation_RightMinLeftMax = 2
};

// Why the host sends a parameter value back to the plug-in.
enum AAX_EUpdateSource : int32_t {
  AAX_eUpdateSource_Unspecified = 0,
  AAX_eUpdateSource_Parameter = 1,
  AAX_eUpdateSource_Chunk = 2,
  AAX_eUpdateSource_Delay = 3
};

enum AAX_EMIDINodeType : int32_t {
  AAX_eMIDINodeType_LocalInput = 0,
  AAX_eMIDINodeType_LocalOutput = 1,
  AAX_eMIDINodeType_Global = 2,
  AAX_eMIDINodeType_Transport = 3
};

// Identifies the creation functions registered with AddProcPtr.
enum AAX_EProcPtrID : int32_t {
  kAAX_ProcPtrID_Create_EffectParameters = 0,
  kAAX_ProcPtrID_Create_EffectGUI = 1
};

enum AAX_EPlugInCategory : uint32_t {
  AAX_ePlugInCategory_None = 0x00000000,
  AAX_ePlugInCategory_EQ = 0x00000001,
  AAX_ePlugInCategory_Dynamics = 0x00000002,
  AAX_ePlugInCategory_PitchShift = 0x00000004,
  AAX_ePlugInCategory_Reverb = 0x00000008,
  AAX_ePlugInCategory_Delay = 0x00000010,
  AAX_ePlugInCategory_Modulation = 0x00000020,
  AAX_ePlugInCategory_Harmonic = 0x00000040,
  AAX_ePlugInCategory_NoiseReduction = 0x00000080,
  AAX_ePlugInCategory_Dither = 0x00000100,
  AAX_ePlugInCategory_SoundField = 0x00000200
};

// Stem formats: layout index in the high 16 bits, channel count in the low 16 bits.
enum AAX_EStemFormat : uint32_t {
  AAX_eStemFormat_Mono = 0x00000001,
  AAX_eStemFormat_Stereo = 0x00010002,
  AAX_eStemFormat_LCR = 0x00020003,
  AAX_eStemFormat_Quad = 0x000E0004,
  AAX_eStemFormat_5_0 = 0x00050005,
  AAX_eStemFormat_5_1 = 0x00060006,
  AAX_eStemFormat_7_0_DTS = 0x000B0007,
  AAX_eStemFormat_7_1_DTS = 0x000C0008,
  AAX_eStemFormat_7_0_2 = 0x00120009,
  AAX_eStemFormat_7_1_2 = 0x000D000A,
  AAX_eStemFormat_Ambi_3_ACN = 0x00130010,
  AAX_eStemFormat_None = 0xFF9C0000  // layout index -100, no channels
};

constexpr int32_t AAX_StemFormatChannelCount(uint32_t stemFormat) {
  return static_cast<int32_t>(stemFormat & 0xFFFFu);
}
constexpr int32_t AAX_StemFormatLayoutIndex(uint32_t stemFormat) {
  return static_cast<int16_t>(static_cast<uint16_t>(stemFormat >> 16));
}

// Property numbers a component's property map carries. Numbers whose meaning belongs to
// the host keep their number as their name.
enum AAX_EProperty : int32_t {
  AAX_eProperty_ManufacturerID = 11,
  AAX_eProperty_ProductID = 12,
  AAX_eProperty_PlugInID_Native = 13,
  AAX_eProperty_PlugInID_AudioSuite = 14,
  AAX_eProperty_InputStemFormat = 51,
  AAX_eProperty_OutputStemFormat = 52,
  AAX_eProperty_56 = 56,
  AAX_eProperty_CanBypass = 60,
  AAX_eProperty_HybridOutputStemFormat = 90,
  AAX_eProperty_HybridInputStemFormat = 91,
  AAX_eProperty_SupportsSideChainInput = 116,
  AAX_eProperty_151 = 151,
  AAX_eProperty_300 = 300,
  AAX_eProperty_304 = 304,
  AAX_eProperty_UsesTransport = 306
};

// Notifications a host sends to the effect-parameters and GUI objects.
enum AAX_ENotificationEvent : uint32_t {
  AAX_eNotificationEvent_EnteringOfflineMode = 0x41586F66,   // "AXof"
  AAX_eNotificationEvent_ExitingOfflineMode = 0x41586F78,    // "AXox"
  AAX_eNotificationEvent_TrackNameChanged = 0x4158746E,      // "AXtn", data is an AAX_IString
  AAX_eNotificationEvent_ASPreviewState = 0x41535076         // "ASPv", data is an int32 state
};

// Chunk identifier of the library's own parameter-list chunk (unused by plug-ins that
// supply their own chunks).
constexpr AAX_CTypeID AAX_ChunkID_Parameters = AAX_FourCC("elck");

// Trace priorities the library uses.
enum AAX_ETracePriorityHost : int32_t {
  AAX_eTracePriorityHost_None = 0,
  AAX_eTracePriorityHost_Critical = 0x10000000,
  AAX_eTracePriorityHost_High = 0x08000000,
  AAX_eTracePriorityHost_Normal = 0x04000000,
  AAX_eTracePriorityHost_Low = 0x02000000,
  AAX_eTracePriorityHost_Lowest = 0x01000000
};

// Flags of an assertion report.
enum AAX_EAssertFlags : int32_t {
  AAX_eAssertFlags_Default = 0,
  AAX_eAssertFlags_Log = 1,
  AAX_eAssertFlags_Dialog = 2
};

// Colours a host asks the editor to highlight a parameter's control with.
enum AAX_EHighlightColor : int32_t {
  AAX_eHighlightColor_Red = 0,
  AAX_eHighlightColor_Blue = 1,
  AAX_eHighlightColor_Green = 2,
  AAX_eHighlightColor_Yellow = 3
};

// View sizes and rectangles in the host's coordinates (vertical first).
struct AAX_Point {
  float vert = 0.0f;
  float horz = 0.0f;
};

struct AAX_Rect {
  float top = 0.0f;
  float left = 0.0f;
  float width = 0.0f;
  float height = 0.0f;
};
