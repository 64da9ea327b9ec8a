// A script host's view of the control: created by its ProgID and reached by
// late binding, as scripts reach it. Prints each failed check and exits
// with their count.
var failures = 0, checks = 0;
function check(what, actual, expected) {
  checks++;
  if (actual !== expected) {
    WScript.Echo("FAILED " + what + ": " + actual + " where " + expected + " was expected");
    failures++;
  }
}

var tilvo = new ActiveXObject("TILVO.TilvoCtrl.1");
check("ReadyState", tilvo.ReadyState, 2);
tilvo.ArtType = 3;
check("ArtType", tilvo.ArtType, 3);
tilvo.ArtIndex = "42";
check("ArtIndex set from text", tilvo.ArtIndex, 42);
tilvo.SetObject(2, 15);
check("SetObject type", tilvo.ArtType, 2);
check("SetObject index", tilvo.ArtIndex, 15);
check("first AddPreviewItem", tilvo.AddPreviewItem(0x0EED, 1443, 1678, 20, 0), 0);
check("second AddPreviewItem", tilvo.AddPreviewItem(0x0EED, 1443, 1678, 20, 0), 1);
tilvo.RemovePreviewItemAt(1);
check("AddPreviewItem after a removal", tilvo.AddPreviewItem(1, 2, 3, 4, 5), 2);
check("AddHideStatic", tilvo.AddHideStatic(1, 92369, 3, 6, 20, 0), 0);
check("xScroll", tilvo.xScroll(5), 5);
check("xScroll again", tilvo.xScroll(5), 10);
tilvo.Scroll(-5, 3);
check("xOffset after Scroll", tilvo.xOffset, 5);
check("yOffset after Scroll", tilvo.yOffset, 3);
check("BkColor with its parameter", tilvo.BkColor(0), -1);
tilvo.SetMulPath("C:\\client");
check("GetMulPath", tilvo.GetMulPath(), "C:\\client\\");
check("a refused slot", tilvo.SetCustomMulFile(20, "x"), false);
check("a free slot", tilvo.SetCustomMulFile(45, "C:\\maps\\extra.mul"), true);
check("the free slot's path", tilvo.GetCustomMulPath(45), "C:\\maps\\extra.mul");
var refused = false;
try {
  tilvo.ArtType = 70000;  // beyond 16 bits
} catch (e) {
  refused = true;
}
check("a value beyond 16 bits is refused", refused, true);
check("ArtType kept", tilvo.ArtType, 2);

WScript.Echo("script host: " + checks + " checks, " + failures + " failed");
WScript.Quit(failures);
