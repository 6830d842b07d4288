#include "graphics/x11/KeyTranslation.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace igraphics {

namespace {

struct KeyName {
  KeySym sym;
  int vk;
};

// The keys that are no printable ASCII character of their own, by their Windows name.
constexpr KeyName kKeys[] = {
    {XK_BackSpace, 0x08},   {XK_Tab, 0x09},         {XK_ISO_Left_Tab, 0x09}, {XK_Clear, 0x0C},
    {XK_Return, 0x0D},      {XK_KP_Enter, 0x0D},    {XK_Shift_L, 0x10},      {XK_Shift_R, 0x10},
    {XK_Control_L, 0x11},   {XK_Control_R, 0x11},   {XK_Alt_L, 0x12},        {XK_Alt_R, 0x12},
    {XK_Pause, 0x13},       {XK_Caps_Lock, 0x14},   {XK_Escape, 0x1B},       {XK_space, 0x20},
    {XK_Prior, 0x21},       {XK_Next, 0x22},        {XK_End, 0x23},          {XK_Home, 0x24},
    {XK_Left, 0x25},        {XK_Up, 0x26},          {XK_Right, 0x27},        {XK_Down, 0x28},
    {XK_Select, 0x29},      {XK_Print, 0x2A},       {XK_Execute, 0x2B},      {XK_Insert, 0x2D},
    {XK_Delete, 0x2E},      {XK_Help, 0x2F},        {XK_Super_L, 0x5B},      {XK_Super_R, 0x5C},
    {XK_Menu, 0x5D},        {XK_KP_Multiply, 0x6A}, {XK_KP_Add, 0x6B},       {XK_KP_Separator, 0x6C},
    {XK_KP_Subtract, 0x6D}, {XK_KP_Decimal, 0x6E},  {XK_KP_Divide, 0x6F},    {XK_Num_Lock, 0x90},
    {XK_Scroll_Lock, 0x91}, {XK_KP_Home, 0x24},     {XK_KP_End, 0x23},       {XK_KP_Prior, 0x21},
    {XK_KP_Next, 0x22},     {XK_KP_Left, 0x25},     {XK_KP_Up, 0x26},        {XK_KP_Right, 0x27},
    {XK_KP_Down, 0x28},     {XK_KP_Insert, 0x2D},   {XK_KP_Delete, 0x2E},    {XK_semicolon, 0xBA},
    {XK_colon, 0xBA},       {XK_equal, 0xBB},       {XK_plus, 0xBB},         {XK_comma, 0xBC},
    {XK_less, 0xBC},        {XK_minus, 0xBD},       {XK_underscore, 0xBD},   {XK_period, 0xBE},
    {XK_greater, 0xBE},     {XK_slash, 0xBF},       {XK_question, 0xBF},     {XK_grave, 0xC0},
    {XK_asciitilde, 0xC0},  {XK_bracketleft, 0xDB}, {XK_braceleft, 0xDB},    {XK_backslash, 0xDC},
    {XK_bar, 0xDC},         {XK_bracketright, 0xDD}, {XK_braceright, 0xDD},  {XK_apostrophe, 0xDE},
    {XK_quotedbl, 0xDE},
};

// One Latin-1 character as UTF-8 (one or two bytes).
void Latin1ToUTF8(unsigned char c, char out[5]) {
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    out[1] = '\0';
  } else {
    out[0] = static_cast<char>(0xC0 | (c >> 6));
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    out[2] = '\0';
  }
}

}  // namespace

int VirtualKeyForKeySym(KeySym sym) {
  if (sym >= XK_a && sym <= XK_z) return static_cast<int>('A' + (sym - XK_a));
  if (sym >= XK_A && sym <= XK_Z) return static_cast<int>(sym);
  if (sym >= XK_0 && sym <= XK_9) return static_cast<int>(sym);
  if (sym >= XK_KP_0 && sym <= XK_KP_9) return static_cast<int>(0x60 + (sym - XK_KP_0));
  if (sym >= XK_F1 && sym <= XK_F24) return static_cast<int>(0x70 + (sym - XK_F1));
  for (const KeyName& k : kKeys)
    if (k.sym == sym) return k.vk;
  return 0;
}

bool TranslateKeyEvent(XKeyEvent& event, IKeyPress& key) {
  char text[8] = {};
  KeySym sym = NoSymbol;
  const int n = XLookupString(&event, text, sizeof(text), &sym, nullptr);
  if (n > 1) return false;
  char utf8[5] = {};
  if (n == 1) Latin1ToUTF8(static_cast<unsigned char>(text[0]), utf8);
  key = IKeyPress(utf8, VirtualKeyForKeySym(sym), (event.state & ShiftMask) != 0, (event.state & ControlMask) != 0,
                  (event.state & Mod1Mask) != 0);
  return true;
}

}  // namespace igraphics
