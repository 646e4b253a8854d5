#!/usr/bin/env python3
"""Draws the tray and menu pictures: the five 16 x 16 state and command icons,
the graphical menu buttons (90 x 90, five strips of 90 x 18, magenta is
transparent), the menu image list (16 high, grey C0C0C0 is transparent) and
the tooltip's pictures. The same drawing with other colours makes the two
example skins.

  make_tray_pictures.py builtin <folder>      the program's own pictures
  make_tray_pictures.py skin <folder> <name>  an example skin: <name>.sk2 and
                                              <name>.skn with their pictures
Run it to regenerate the committed pictures."""
import math, os, struct, sys

SHAPES = ("play", "pause", "stop", "prev", "next")

def inside(shape, fx, fy):
    """fx, fy in 0..1 over the picture's square."""
    if shape == "play":
        return 0.28 <= fx <= 0.8 and abs(fy - 0.5) <= (0.8 - fx) * 0.55
    if shape == "pause":
        return 0.2 <= fy <= 0.8 and (0.25 <= fx <= 0.43 or 0.57 <= fx <= 0.75)
    if shape == "stop":
        return 0.25 <= fx <= 0.75 and 0.25 <= fy <= 0.75
    if shape == "next":
        tri = 0.2 <= fx <= 0.65 and abs(fy - 0.5) <= (0.65 - fx) * 0.7
        return tri or (0.68 <= fx <= 0.8 and 0.2 <= fy <= 0.8)
    if shape == "prev":
        return inside("next", 1.0 - fx, fy)
    if shape == "disc":
        return math.hypot(fx - 0.5, fy - 0.5) <= 0.45
    return False

def icon_pixels(shape, size, fg, bg):
    px = []
    for y in range(size):
        row = []
        for x in range(size):
            fx, fy = (x + 0.5) / size, (y + 0.5) / size
            if inside(shape, fx, fy):
                row.append(fg + (255,))
            elif math.hypot(fx - 0.5, fy - 0.5) <= 0.5:
                row.append(bg + (255,))
            else:
                row.append((0, 0, 0, 0))
        px.append(row)
    return px

def write_ico(path, px):
    size = len(px)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    data = b''.join(bytes((p[2], p[1], p[0], p[3])) for row in reversed(px) for p in row)
    mask_row = (size + 31) // 32 * 4
    mask = b''
    for row in reversed(px):
        out = bytearray(mask_row)
        for x, p in enumerate(row):
            if p[3] == 0:
                out[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(out)
    img = header + data + mask
    with open(path, 'wb') as f:
        f.write(struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(img), 22) + img)

def write_bmp(path, px):
    h, w = len(px), len(px[0])
    row_bytes = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(px):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        data += line + b'\0' * (row_bytes - len(line))
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)

MAGENTA = (255, 0, 255)

def buttons(face, ink, pressed):
    """90 x 90: one 90 x 18 strip per shape, a rounded face on magenta."""
    px = []
    for y in range(90):
        strip, sy = divmod(y, 18)
        row = []
        for x in range(90):
            edge = x < 3 or x > 86 or sy < 1 or sy > 16
            if edge:
                row.append(MAGENTA)
                continue
            c = face
            if pressed:
                c = tuple(max(0, v - 60) for v in face)
            # the symbol in an 18 x 18 square centred in the strip
            fx, fy = (x - 36 + 0.5) / 18, (sy + 0.5) / 18
            if 0 <= fx <= 1 and inside(SHAPES[strip], fx, fy):
                c = ink
            row.append(c)
        px.append(row)
    return px

def image_list(fg):
    """10 images of 16 x 16 on C0C0C0: a disc for the first five (the
    window items), the five command symbols after them."""
    grey = (0xC0, 0xC0, 0xC0)
    shapes = ("disc",) * 5 + SHAPES
    px = []
    for y in range(16):
        row = []
        for i, shape in enumerate(shapes):
            for x in range(16):
                row.append(fg if inside(shape, (x + 0.5) / 16, (y + 0.5) / 16) else grey)
        px.append(row)
    return px

def album_placeholder():
    """48 x 48: a record sleeve, the tooltip's picture beside the tags."""
    px = []
    for y in range(48):
        row = []
        for x in range(48):
            d = math.hypot(x - 23.5, y - 23.5)
            if d < 4:
                row.append((230, 230, 230))
            elif d < 20:
                row.append((40, 40, 48) if int(d) % 3 else (70, 70, 80))
            else:
                row.append((255, 0, 255))
        px.append(row)
    return px

def builtin(folder):
    fg, bg = (255, 255, 255), (30, 110, 200)
    for shape in SHAPES:
        write_ico(os.path.join(folder, 'tray_%s.ico' % shape), icon_pixels(shape, 16, fg, bg))
    write_ico(os.path.join(folder, 'tray_small.ico'), icon_pixels('disc', 16, (250, 200, 40), (30, 110, 200)))
    write_bmp(os.path.join(folder, 'menu_buttons.bmp'), buttons((210, 220, 235), (20, 60, 140), False))
    write_bmp(os.path.join(folder, 'menu_buttons_dn.bmp'), buttons((210, 220, 235), (255, 255, 255), True))
    write_bmp(os.path.join(folder, 'menu_images.bmp'), image_list((20, 60, 140)))
    write_bmp(os.path.join(folder, 'tooltip_album.bmp'), album_placeholder())

# Two example skins. "ember" is a complete INI skin with colours and a
# tooltip template of its own; "moss" is the seven-line text form.
SKINS = {
    'ember': dict(fg=(255, 240, 200), bg=(200, 60, 20), face=(250, 200, 150), ink=(120, 30, 0)),
    'moss': dict(fg=(230, 255, 220), bg=(40, 130, 60), face=(190, 230, 180), ink=(20, 80, 30)),
}

def skin(folder, name):
    k = SKINS[name]
    os.makedirs(folder, exist_ok=True)
    for shape in SHAPES:
        write_ico(os.path.join(folder, '%s_%s.ico' % (name, shape)), icon_pixels(shape, 16, k['fg'], k['bg']))
    write_bmp(os.path.join(folder, '%s_buttons.bmp' % name), buttons(k['face'], k['ink'], False))
    write_bmp(os.path.join(folder, '%s_buttons_dn.bmp' % name), buttons(k['face'], k['fg'], True))
    if name == 'ember':
        with open(os.path.join(folder, 'ember.sk2'), 'w', newline='\r\n') as f:
            f.write('[Skin]\n')
            for key, shape in (('PlayIcon', 'play'), ('PauseIcon', 'pause'), ('StopIcon', 'stop'),
                               ('PrevIcon', 'prev'), ('NextIcon', 'next')):
                f.write('%s=ember_%s.ico\n' % (key, shape))
            f.write('Buttons=ember_buttons.bmp\nButtonsDn=ember_buttons_dn.bmp\n')
            f.write('GradientStart=%d\nGradientEnd=%d\n' % (0x2050C8, 0xE0F0FF))
            f.write('border_color=%d\nstart_bk=%d\nmid_bk=%d\nend_bk=%d\n' % (0x1040A0, 0xE8F4FF, 0xC8E0FF, 0x90B8F0))
            f.write('ToolTipText=<table><tr><td><h2>%7</h2></td></tr><tr><td>%1 - %2</td></tr></table>\n')
    else:
        with open(os.path.join(folder, 'moss.skn'), 'w', newline='\r\n') as f:
            f.write('moss_buttons.bmp\nmoss_buttons_dn.bmp\n')
            for shape in SHAPES:
                f.write('moss_%s.ico\n' % shape)

if __name__ == '__main__':
    if sys.argv[1] == 'builtin':
        builtin(sys.argv[2])
    else:
        skin(sys.argv[2], sys.argv[3])
