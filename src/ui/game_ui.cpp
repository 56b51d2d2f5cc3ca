// game_ui.cpp: the display connection, the window tree, and fitting it to
// the board size and the tile size of the set in use. Owns GameUi and the
// layout values shared with the score panel; knows the pictures only through
// TileImages and BUILTIN_SETS, and the board only by its size.
#include "ui/game_ui.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>


#include "base/report.h"
#include "base/version.h"
#include "board/board.h"
#include "board/board_sizes.h"
#include "pictures/app_icon.h"
#include "pictures/catalogue.h"
#include "pictures/picture_choice.h"
#include "pictures/picture_set.h"
#include "ui/buttons_menus.h"
#include "ui/display_options.h"
#include "ui/layout.h"
#include "x11/draw_scale.h"
#include "x11/picture_loader.h"
#include "x11/tile_images.h"
#include "x11/window_properties.h"
#include "x11/x_resources.h"
#include "x11/x_display.h"

GameUi game_ui = {};
const char* display_name = nullptr;
const char* const BUTTON_LABELS[NUM_BUTTONS] = {"Quit", "NewGame", "Undo", "Size", "Pictures"};

int panel_width = PANEL_WIDTH;
int panel_height = PANEL_SHORT_HEIGHT;
int score_rows_shown = 5;
int size_class = -1;

namespace {

// Kept for the whole run, like the font it describes.
XFontStruct* font_info = nullptr;

Window create_window(Window parent, int x, int y, int width, int height, int border, long events,
                     int gravity) {
    Display* display = x_display.display;
    const Window window = create_scaled_window(parent, x, y, width, height, border);
    XSelectInput(display, window, events);
    if (gravity != 0) {
        XSetWindowAttributes attributes = {};
        attributes.win_gravity = gravity;
        XChangeWindowAttributes(display, window, CWWinGravity, &attributes);
    }
    return window;
}

bool load_font() {
    Display* display = x_display.display;
    font_info = XLoadQueryFont(display, "7x14");
    if (font_info == nullptr) {
        report("Warning: can't load font '7x14'.\n");
        font_info = XLoadQueryFont(display, "fixed");
    }
    if (font_info == nullptr) {
        report("Error: can't load font 'fixed'.\n");
        return false;
    }
    game_ui.font = font_info->fid;
    game_ui.char_width = XTextWidth(font_info, "M", 1);
    return true;
}

void create_windows(int tile_width, int tile_height) {
    Display* display = x_display.display;
    const int columns = board.columns;
    const int rows = board.rows;

    const Size2 main_size = main_window_size(columns, rows, tile_width, tile_height);
    // Keys only on request: without it the game selects none, and a key
    // pressed over it goes past it to the window manager's bindings.
    game_ui.main_window = create_window(x_display.root, 0, 0, main_size.width, main_size.height, MAIN_BORDER,
                                        ButtonPressMask | (keyboard_play ? KeyPressMask : 0), 0);
    // Take part in the close protocol, so closing the window ends the game
    // the ordinary way and the settings are written.
    game_ui.wm_protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    game_ui.wm_delete_window = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, game_ui.main_window, &game_ui.wm_delete_window, 1);

    const Size2 board_size = board_window_size(columns, rows, tile_width, tile_height);
    game_ui.board_window = create_window(
        game_ui.main_window, BOARD_X, BOARD_Y, board_size.width, board_size.height, 0,
        ButtonPressMask | ButtonReleaseMask | EnterWindowMask | LeaveWindowMask | PointerMotionMask |
            ExposureMask,
        NorthWestGravity);

    const auto spans = layout_buttons(std::span<const char* const, NUM_BUTTONS>(BUTTON_LABELS),
                                      game_ui.char_width);
    for (int i = 0; i < NUM_BUTTONS; ++i) {
        ButtonInfo& button = game_ui.buttons[i];
        button = {spans[static_cast<std::size_t>(i)].x, BUTTON_Y, spans[static_cast<std::size_t>(i)].width,
                  BUTTON_HEIGHT, 0};
        game_ui.button_windows[i] = create_window(
            game_ui.main_window, button.x, button.y, button.width, button.height, BUTTON_BORDER,
            ButtonPressMask | EnterWindowMask | LeaveWindowMask | ButtonMotionMask | ExposureMask,
            NorthWestGravity);
    }

    game_ui.status_window =
        create_window(game_ui.main_window, BOARD_X, status_window_y(rows, tile_height), STATUS_WIDTH,
                      STATUS_HEIGHT, STATUS_BORDER, ButtonPressMask | ExposureMask, SouthWestGravity);
    game_ui.panel_window =
        create_window(game_ui.main_window, panel_window_x(columns, tile_width, panel_width), PANEL_Y,
                      panel_width, panel_height, PANEL_BORDER, ExposureMask, NorthGravity);
    game_ui.panel_button_window = create_window(
        game_ui.panel_window, (panel_width - PANEL_BUTTON_WIDTH) / 2,
        panel_height - PANEL_BUTTON_BOTTOM_GAP, PANEL_BUTTON_WIDTH, PANEL_BUTTON_HEIGHT, PANEL_BUTTON_BORDER,
        ButtonPressMask | EnterWindowMask | LeaveWindowMask, SouthWestGravity);
}

// The windows are mapped once, when they first have their size and
// pictures: a window manager never sees the window at another size.
bool windows_mapped = false;

// The children first: mapped inside an unmapped window they show nothing
// yet, and the main window, mapped last, then fills only what they leave.
void map_windows() {
    Display* display = x_display.display;
    XMapWindow(display, game_ui.board_window);
    for (Window button : game_ui.button_windows) XMapWindow(display, button);
    XMapWindow(display, game_ui.status_window);
    XMapWindow(display, game_ui.main_window);
}

}  // namespace

bool open_display_and_windows(const char* data_dir, const char* score_dir) {
    game_ui.data_dir = data_dir;
    game_ui.score_dir = score_dir;
    if (!open_x_display(display_name)) {
        report(format_message("%s: can't open display: %s.\n", CLUMPOUT_TITLE,
                              display_name != nullptr ? display_name : ":0.0"));
        return false;
    }
    Display* display = x_display.display;

    if (!load_font()) return false;
    allocate_named_pixels();

    const int entries = load_catalogue(catalogue, data_dir);
    if (entries != 0) pictures_menu[PICTURES_OTHER_ROW].disabled = 0;
    init_picture_choice(entries);
    const PictureSet& first = BUILTIN_SETS[picture_index];

    const Size2 start_size = main_window_size(board.columns, board.rows, first.tile_width, first.tile_height);
    read_display_options({start_size.width + 2 * MAIN_BORDER, start_size.height + 2 * MAIN_BORDER});
    prepare_scaled_text(font_info, game_ui.char_width);

    create_windows(first.tile_width, first.tile_height);
    set_window_names(game_ui.main_window, CLUMPOUT_TITLE, RESOURCE_INSTANCE, RESOURCE_CLASS, APP_ICONS);
    set_fixed_size(game_ui.main_window, scaled(start_size.width), scaled(start_size.height));
    // Tiles are copied from pixmaps that are never obscured, so a copy can
    // never need an exposure: without this every copied tile would send back
    // a NoExpose event that wakes the event loop for nothing.
    XGCValues gc_values{};
    gc_values.graphics_exposures = False;
    game_ui.gc = XCreateGC(display, game_ui.board_window, GCGraphicsExposures, &gc_values);

    Pixmap icon = None;
    if (make_pixmap_from_xpm(icon_xpm, &icon) != XpmSuccess) {
        report("Error: can't create pixmap from data.\n");
        return false;
    }
    XWMHints hints = {};
    hints.flags = IconPixmapHint;
    hints.icon_pixmap = icon;
    if (keyboard_play) {
        // Ask for the keyboard focus, which a keyboard game needs.
        hints.flags |= InputHint;
        hints.input = True;
    }
    XSetWMHints(display, game_ui.main_window, &hints);
    return true;
}

void configure_windows() {
    Display* display = x_display.display;
    const int columns = board.columns;
    const int rows = board.rows;
    const int tile_width = tile_images.tile_width;
    const int tile_height = tile_images.tile_height;

    size_class = size_class_of(columns, rows);

    XSetWindowBackgroundPixmap(display, game_ui.main_window, tile_images.frame);
    XClearWindow(display, game_ui.main_window);
    // Before the first map the board has no background, so mapping does not
    // fill it only for the tiles to cover it; its first Expose sets it.
    XSetWindowBackgroundPixmap(display, game_ui.board_window, windows_mapped ? tile_images.background : None);
    XClearWindow(display, game_ui.board_window);
    XSetWindowBorderPixmap(display, game_ui.panel_window, tile_images.frame);

    const Size2 main_size = main_window_size(columns, rows, tile_width, tile_height);
    set_fixed_size(game_ui.main_window, scaled(main_size.width), scaled(main_size.height));
    resize_scaled_window(game_ui.main_window, main_size.width, main_size.height);

    const Size2 board_size = board_window_size(columns, rows, tile_width, tile_height);
    resize_scaled_window(game_ui.board_window, board_size.width, board_size.height);

    const PanelForm form = panel_form_for(board_size.height);
    score_rows_shown = form.rows_shown;
    panel_height = form.height;
    resize_scaled_window(game_ui.panel_window, panel_width, panel_height);
    if (!windows_mapped) {
        map_windows();
        windows_mapped = true;
    }
    XFlush(display);
}

