"""Where the program puts its controls, texts and popups on the 552 x 330
main skin (client coordinates). The skin is drawn around these boxes and the
layout check and the contact sheet overlay them, so they live in one place.
Boxes are (x, y, w, h)."""

SKIN_W, SKIN_H = 552, 330

# Child windows laid over the skin.
CONTROLS = {
    "auto_box": (80, 138, 8, 8),
    "manual_box": (130, 138, 8, 8),
    "link_box": (235, 140, 8, 8),
    "radio_2d": (294, 140, 7, 7),
    "radio_3d": (315, 140, 7, 7),
    "test": (408, 125, 35, 14),
    "apply": (446, 125, 35, 14),
    "gpu_up": (457, 172, 17, 11),
    "gpu_down": (233, 172, 17, 11),
    "shader_up": (457, 152, 17, 11),
    "shader_down": (233, 152, 17, 11),
    "mem_up": (457, 192, 17, 11),
    "mem_down": (233, 192, 17, 11),
    "master": (192, 304, 43, 25),
    "slave": (235, 304, 45, 25),
    "bios": (279, 303, 45, 25),
    "settings": (324, 303, 47, 25),
    "restore": (371, 303, 62, 25),
    "about": (433, 303, 42, 25),
    "gpu_display": (270, 225, 68, 20),
    "shader_display": (270, 250, 68, 20),
    "mem_display": (270, 275, 68, 20),
    "fan_display": (439, 225, 68, 20),
    "temp_display": (439, 250, 68, 20),
    "logo": (55, 230, 123, 44),
    # The round faces are 16 x 17; the windows are 30 x 30 but cut to the
    # ellipse of the face.
    "minimise": (435, 18, 16, 17),
    "close": (450, 22, 16, 17),
    "progress": (325, 124, 80, 10),
}

# Slider tracks (5 pixels high) and their handles (21 x 11, centred on y+2).
TRACKS = {
    "gpu": (261, 175, 185),
    "shader": (261, 155, 185),
    "memory": (261, 195, 185),
    "fan": (90, 175, 125),
}

POPUPS = {
    "fan": (84, 53, 139, 71),
    "gpu": (230, 53, 139, 71),
    "memory": (380, 53, 139, 71),
    "shader": (255, 78, 88, 44),
}

# Texts the program paints straight onto the skin: (x, y, text, bold).
TEXTS = [
    (363, 228, "Fan Speed:", True),
    (180, 228, "GPU Clock:", True),
    (180, 253, "Shader Clock:", True),
    (180, 278, "Mem. Clock:", True),
    (363, 253, "GPU Temp.:", True),
    (90, 136, "Auto", False),
    (140, 136, "Manual", False),
    (92, 181, "Min", False),
    (193, 181, "Max", False),
    (85, 157, "Fan speed will be adjusted by", False),
    (85, 167, "the temperature automatically.", False),
    (82, 122, "Fan Speed Setting: ", False),
    (239, 122, "Over Clock Setting: (MHz)", False),
    (479, 169, "GPU", False),
    (479, 189, "Mem.", False),
    (479, 149, "Shader", False),
    (261, 181, "300", False), (422, 181, "700", False), (343, 181, "550", False),
    (261, 161, "700", False), (422, 161, "1500", False), (343, 161, "1300", False),
    (261, 201, "400", False), (422, 201, "900", False), (343, 201, "800", False),
    (300, 138, "2D", False),
    (322, 138, "3D", False),
    (253, 137, "Link", False),
]

# The 2D/3D frame the program draws, corner to corner.
LEVEL_FRAME = (291, 137, 337, 150)


def handle_box(track):
    x, y, _ = track
    return (x - 21 // 2, y - (11 - 5) // 2, 21, 11)
