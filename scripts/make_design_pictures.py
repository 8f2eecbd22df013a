#!/usr/bin/python3
# Draws the installation's own pictures: the action-bar and navigation buttons and the login
# background of files/, and the login icon src/screens/LoginIcon.jpg, which the login screen's
# definition is to embed (no screen uses it yet). Needs Pillow (`scripts/setup.sh --pictures`);
# run it after changing a drawing and commit what it writes: builds and tests only read the files.
import os

from PIL import Image, ImageDraw

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
FILES = os.path.join(ROOT, 'files')
SCREENS = os.path.join(ROOT, 'src', 'screens')

# Drawings are made SCALE times larger on a grid of the picture's own pixels, then reduced,
# which smooths their edges.
SCALE = 8

WHITE = (255, 255, 255)
ALICE_BLUE = (240, 248, 255)  # the login region behind the icon
INK = (31, 73, 125)           # the symbols: a dark steel blue
TILE = (234, 242, 251)        # the buttons' face
TILE_EDGE = (163, 189, 219)
STEEL_BLUE = (70, 130, 180)
BRASS = (214, 164, 48)
BRASS_EDGE = (146, 104, 20)
SHACKLE = (112, 120, 132)


class Canvas:
    """A drawing surface addressed in the final picture's pixels."""

    def __init__(self, size, background):
        self.size = size
        self.image = Image.new('RGB', (size * SCALE, size * SCALE), background)
        self.draw = ImageDraw.Draw(self.image)

    def box(self, x0, y0, x1, y1):
        return [round(v * SCALE) for v in (x0, y0, x1, y1)]

    def points(self, pts):
        return [(round(x * SCALE), round(y * SCALE)) for x, y in pts]

    def polygon(self, pts, fill):
        self.draw.polygon(self.points(pts), fill=fill)

    def rect(self, x0, y0, x1, y1, fill=None, outline=None, width=1.0, radius=0):
        self.draw.rounded_rectangle(self.box(x0, y0, x1, y1), radius=round(radius * SCALE),
                                    fill=fill, outline=outline, width=round(width * SCALE))

    def ellipse(self, x0, y0, x1, y1, fill=None, outline=None, width=1.0):
        self.draw.ellipse(self.box(x0, y0, x1, y1), fill=fill, outline=outline,
                          width=round(width * SCALE))

    def arc(self, x0, y0, x1, y1, start, end, fill, width):
        self.draw.arc(self.box(x0, y0, x1, y1), start, end, fill=fill, width=round(width * SCALE))

    def line(self, pts, fill, width):
        self.draw.line(self.points(pts), fill=fill, width=round(width * SCALE), joint='curve')

    def picture(self):
        return self.image.resize((self.size, self.size), Image.LANCZOS)


def button(draw_symbol):
    """A 24 x 24 button of the white action bar: a soft tile with a symbol in the ink colour."""
    c = Canvas(24, WHITE)
    c.rect(1, 1, 23, 23, fill=TILE, outline=TILE_EDGE, width=1, radius=4)
    draw_symbol(c)
    return c.picture()


def triangle(c, tip_x, back_x):
    c.polygon([(back_x, 6.5), (back_x, 17.5), (tip_x, 12)], INK)


def first(c):
    c.rect(6, 6.5, 8.5, 17.5, fill=INK)
    triangle(c, 9.5, 17.5)


def previous(c):
    triangle(c, 8, 15.5)


def next_(c):
    triangle(c, 16, 8.5)


def last(c):
    triangle(c, 14.5, 6.5)
    c.rect(15.5, 6.5, 18, 17.5, fill=INK)


def refresh(c):
    # A circular arrow turning clockwise, open at the upper right where its head sits.
    c.arc(6, 6, 18, 18, 0, 290, INK, 2.2)
    c.polygon([(13.4, 3.6), (18.4, 7.2), (12.6, 9.6)], INK)


def envelope(c):
    c.rect(4.5, 7, 19.5, 17, fill=WHITE, outline=INK, width=1.4, radius=1)
    c.line([(5.2, 7.8), (12, 13), (18.8, 7.8)], INK, 1.4)


def login_icon():
    """48 x 48: a person with a padlock in front, on the login region's alice blue."""
    c = Canvas(48, ALICE_BLUE)
    c.ellipse(11, 5, 29, 23, fill=STEEL_BLUE)              # head
    c.ellipse(3, 26, 37, 58, fill=STEEL_BLUE)              # shoulders, cut by the lower edge
    c.rect(24, 20, 46, 46, fill=ALICE_BLUE, radius=5)      # a margin parting lock and person
    c.arc(29, 17, 41, 31, 180, 360, SHACKLE, 3)
    c.rect(30.5, 24, 32, 31, fill=SHACKLE)                 # the shackle's two legs
    c.rect(38, 24, 39.5, 31, fill=SHACKLE)
    c.rect(26, 29, 44, 44, fill=BRASS, outline=BRASS_EDGE, width=1.2, radius=2)
    c.ellipse(33.3, 33, 36.7, 36.4, fill=INK)                # keyhole
    c.polygon([(34.2, 35.5), (35.8, 35.5), (36.4, 40.5), (33.6, 40.5)], INK)
    return c.picture()


def login_background(width=500, height=340):
    """A soft diagonal gradient from a pale to a light steel blue, with faint diagonal
    lines; few enough colours for one GIF palette, light enough for text."""
    steps = 48
    top, bottom = (234, 242, 251), (194, 213, 237)
    image = Image.new('RGB', (width, height))
    pixels = image.load()
    for y in range(height):
        for x in range(width):
            t = (x + 2 * y) / (width + 2 * height)
            level = round(t * (steps - 1)) / (steps - 1)
            colour = [round(a + (b - a) * level) for a, b in zip(top, bottom)]
            if (x + y) % 14 == 0:
                colour = [v - 7 for v in colour]
            pixels[x, y] = tuple(colour)
    return image.quantize(colors=256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)


def save_jpeg(image, path):
    # Full chroma resolution: at 24 pixels the halved colour planes would blur the symbols.
    image.save(path, 'JPEG', quality=95, subsampling=0, optimize=True)


def main():
    for name, symbol in (('dbFirst.jpg', first), ('dbPrevious.jpg', previous),
                         ('dbNext.jpg', next_), ('dbLast.jpg', last),
                         ('Actualizar.jpg', refresh), ('mail.JPG', envelope)):
        save_jpeg(button(symbol), os.path.join(FILES, name))
    login_background().save(os.path.join(FILES, 'J0143750.GIF'), 'GIF', optimize=True)
    save_jpeg(login_icon(), os.path.join(SCREENS, 'LoginIcon.jpg'))


if __name__ == '__main__':
    main()
