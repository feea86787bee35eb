#include "core/DirectDrawResult.h"

#include "core/ErrorBox.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"

namespace {

constexpr uint32_t kDisplayBase = 0x88760000u;
constexpr int32_t kSurfaceLost = static_cast<int32_t>(0x887601C2u);

struct KnownCode {
  uint32_t code;
  const char* text;
};

constexpr uint32_t Display(uint32_t n) { return kDisplayBase + n; }

constexpr KnownCode kKnownCodes[] = {
    {0x80004005u, " Generic failure."},
    {0x80004001u, " Action not supported."},
    {0x8007000Eu, " DirectDraw does not have enough memory to perform the operation."},
    {0x80070057u, " One or more of the parameters passed to the method are incorrect."},
    {0x800401F0u, " The display object was used before it was initialised."},
    {Display(5), " The display object has already been initialised."},
    {Display(10), " This surface can not be attached to the requested surface."},
    {Display(20), " This surface can not be detached from the requested surface."},
    {Display(40), " Support is currently not available."},
    {Display(55), " An exception was encountered while performing the requested operation."},
    {Display(90), " The height of the rectangle is not a multiple of the required alignment."},
    {Display(95), " Unable to match the primary surface's creation request with the existing primary surface."},
    {Display(100), " One or more of the capability bits passed to the callback are incorrect."},
    {Display(110), " The clip list is not supported."},
    {Display(120), " The display mode is not supported."},
    {Display(130), " The object passed is not a valid display object."},
    {Display(145), " The pixel format was invalid as specified."},
    {Display(150), " The rectangle provided was invalid."},
    {Display(160), " One or more surfaces are locked, preventing the operation."},
    {Display(170), " No 3D hardware is present."},
    {Display(180), " No alpha acceleration hardware is present."},
    {Display(205), " No clip list is available."},
    {Display(210), " No colour conversion hardware is present."},
    {Display(212), " The cooperative level has not been set."},
    {Display(215), " The surface does not have a colour key."},
    {Display(220), " There is no hardware support for the destination colour key."},
    {Display(222), " The display driver does not support the display objects."},
    {Display(225), " The operation needs exclusive mode, and the application does not have it."},
    {Display(230), " Flipping visible surfaces is not supported."},
    {Display(240), " There is no device context present."},
    {Display(250), " No mirroring hardware is present."},
    {Display(255), " The requested item was not found."},
    {Display(260), " No overlay hardware is present."},
    {Display(280), " No raster operation hardware is present."},
    {Display(290), " No rotation hardware is present."},
    {Display(310), " There is no hardware support for stretching."},
    {Display(316), " The surface is not a 4-bit colour palette surface."},
    {Display(317), " The surface is not a 4-bit colour index palette surface."},
    {Display(320), " The surface is not an 8-bit colour surface."},
    {Display(330), " No texture mapping hardware is present."},
    {Display(335), " There is no hardware support for vertical blank synchronised operations."},
    {Display(340), " There is no hardware support for depth buffers."},
    {Display(350), " The overlay surfaces can not be depth-ordered by the hardware."},
    {Display(360), " The hardware needed for the operation has already been allocated."},
    {Display(380), " There is not enough display memory for the operation."},
    {Display(382), " The hardware does not support clipped overlays."},
    {Display(384), " Only one colour key can be active on an overlay at a time."},
    {Display(387), " The palette is busy."},
    {Display(400), " No source colour key was set."},
    {Display(410), " The surface is already attached to the surface it is to be attached to."},
    {Display(420), " The surface already depends on the surface it is to be made dependent on."},
    {Display(430), " Access to this surface is refused because it is locked by another thread."},
    {Display(435), " Access to the surface is refused because it can not be locked."},
    {Display(440), " Access to the surface is refused because it is obscured."},
    {Display(460), " The requested surface is not attached."},
    {Display(470), " The height requested is too large."},
    {Display(480), " The size requested is too large."},
    {Display(490), " The width requested is too large."},
    {Display(510), " The pixel format is not supported."},
    {Display(520), " The bit mask in the pixel format is not supported."},
    {Display(537), " A vertical blank is in progress."},
    {Display(540), " The previous copy onto this surface is still running."},
    {Display(560), " The rectangle is not aligned to the required horizontal boundary."},
    {Display(561), " The display device identifier is not valid."},
    {Display(562), " A display object has already been created for this process."},
    {Display(563), " There is no hardware display support."},
    {Display(564), " A primary surface already exists."},
    {Display(565), " Software emulation is not available."},
    {Display(566), " The region passed to the clipper is too small."},
    {Display(567), " The clipper is watching a window, so its clip list can not be set."},
    {Display(568), " No clipper is attached to the surface."},
    {Display(569), " The clipper or the cooperative level needs a window, and none was given."},
    {Display(570), " The window has already been taken over by another display object."},
    {Display(571), " The window is already set; it can not be changed while surfaces or palettes exist."},
    {Display(572), " No palette is attached to the surface."},
    {Display(573), " There is no hardware support for 16 or 256 colour palettes."},
    {Display(574), " A clipper is attached to the destination, so the fast copy can not be used."},
    {Display(575), " No copying hardware is present."},
    {Display(576), " No raster operation hardware is present for this copy."},
    {Display(577), " The overlay is not visible."},
    {Display(578), " No overlay destination has been set."},
    {Display(579), " The overlay position is not valid."},
    {Display(580), " The surface is not an overlay surface."},
    {Display(581), " Another application already holds exclusive mode."},
    {Display(582), " The surface is not part of a flipping chain."},
    {Display(583), " Surfaces that belong to a chain can not be duplicated."},
    {Display(584), " The surface is not locked, so it can not be unlocked."},
    {Display(585), " A device context can not be created for this surface."},
    {Display(586), " No device context was ever created for this surface."},
    {Display(587), " The surface was created in another display mode and can not be restored."},
    {Display(588), " The surface was created implicitly and can not be restored on its own."},
    {Display(589), " The surface is not palette based."},
    {Display(590), " The display is in a mode that the operation does not support."},
    {Display(591), " No mipmap hardware is present."},
    {Display(592), " The surface is of the wrong type for this operation."},
    {Display(600), " The device does not support optimised surfaces."},
    {Display(601), " The surface is an optimised surface that has not been loaded."},
    {Display(620), " A device context has already been handed out for this surface."},
    {Display(630), " Non-local display memory is not supported."},
    {Display(640), " The surface can not be locked in memory."},
    {Display(660), " The surface can not be released from memory."},
    {Display(680), " The surface is not locked in memory."},
    {Display(690), " There is more data than the buffer given can hold."},
    {Display(695), " The video port is not active"},
    {Display(699), " The device does not own the surface."},
};

}  // namespace

const char* DirectDrawErrorText(int32_t code) {
  for (const KnownCode& known : kKnownCodes)
    if (known.code == static_cast<uint32_t>(code)) return known.text;
  return nullptr;
}

int DirectDrawKnownCodeCount() { return static_cast<int>(sizeof kKnownCodes / sizeof kKnownCodes[0]); }

int CheckDirectDrawResult(int32_t code) {
  int answer = 0;
  if (const char* text = DirectDrawErrorText(code))
    answer = platform::ShowMessageBox(text, "DirectDraw Error", platform::kBoxIconWarning | platform::kBoxTopMost);
  if (code != 0 && code != kSurfaceLost) platform::ExitProcess(1);
  return answer;
}
