"""Every bitmap resource of the program: id -> (width, height, bits per
pixel, what draws it). The one list the generator, the contact sheet and
bitmaps.rc follow."""
import faces
import gauges
import mainskin


def _table():
    t = {243: (552, 330, 24, mainskin.draw)}
    for i, rid in enumerate(gauges.TABLE_42):
        t[rid] = (139, 71, 24, lambda i=i: gauges.big_frame(i))
    for i, rid in enumerate(gauges.TABLE_31):
        t[rid] = (88, 44, 24, lambda i=i: gauges.small_frame(i))
    t[245] = (242, 7, 24, faces.track)
    t[250] = (21, 11, 24, lambda: faces.handle("normal"))
    t[271] = (21, 11, 24, lambda: faces.handle("hot"))
    t[358] = (21, 11, 24, lambda: faces.handle("disabled"))
    t[258] = (100, 18, 24, lambda: faces.text_face("normal"))
    t[267] = (100, 18, 24, lambda: faces.text_face("hot"))
    t[330] = (100, 18, 24, lambda: faces.text_face("disabled"))
    t[333] = (66, 33, 24, lambda: faces.group_face("normal"))
    t[334] = (66, 33, 24, lambda: faces.group_face("pressed"))
    t[335] = (66, 33, 24, lambda: faces.group_face("hot"))
    t[259] = (11, 11, 24, lambda: faces.check_face("normal"))
    t[272] = (11, 11, 24, lambda: faces.check_face("hot"))
    t[359] = (11, 11, 24, lambda: faces.check_face("disabled"))
    t[453] = (17, 11, 24, lambda: faces.step_face("down", "normal"))
    t[454] = (17, 11, 24, lambda: faces.step_face("down", "disabled"))
    t[455] = (17, 11, 24, lambda: faces.step_face("down", "hot"))
    t[456] = (17, 11, 24, lambda: faces.step_face("up", "normal"))
    t[457] = (17, 11, 24, lambda: faces.step_face("up", "disabled"))
    t[458] = (17, 11, 24, lambda: faces.step_face("up", "hot"))
    t[264] = (16, 17, 24, lambda: faces.round_button("minimise", False))
    t[270] = (16, 17, 24, lambda: faces.round_button("minimise", True))
    t[265] = (16, 17, 24, lambda: faces.round_button("close", False))
    t[269] = (16, 17, 24, lambda: faces.round_button("close", True))
    t[352] = (100, 40, 24, lambda: faces.logo(True))
    t[353] = (100, 36, 32, lambda: faces.logo(False))
    t[448] = (20, 20, 24, lambda: faces.tray_picture("main", True))
    t[449] = (20, 20, 24, lambda: faces.tray_picture("main", False))
    t[450] = (20, 20, 24, lambda: faces.tray_picture("quit", False))
    t[451] = (20, 20, 24, lambda: faces.tray_picture("quit", True))
    t[351] = (14, 14, 24, faces.sysmenu_picture)
    return t


BITMAPS = _table()
ICON_SIZES = (16, 32, 48)
