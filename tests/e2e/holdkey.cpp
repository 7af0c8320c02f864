// Another program holding a key: grabs Ctrl+Alt plus the key of the given
// key symbol (a number, e.g. 0x6e for "n") on the root window of $DISPLAY,
// prints "held" and keeps it until it is ended.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: holdkey KEYSYM\n");
        return 2;
    }
    const xcb_keysym_t wanted = xcb_keysym_t(std::strtoul(argv[1], nullptr, 0));
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "holdkey: no X display\n");
        return 1;
    }
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const xcb_window_t root = xcb_setup_roots_iterator(setup).data->root;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t *mapping = xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, count), nullptr);
    const xcb_keysym_t *keysyms = xcb_get_keyboard_mapping_keysyms(mapping);
    xcb_keycode_t keycode = 0;
    for (int i = 0; i < count * mapping->keysyms_per_keycode && !keycode; ++i) {
        if (keysyms[i] == wanted)
            keycode = xcb_keycode_t(setup->min_keycode + i / mapping->keysyms_per_keycode);
    }
    std::free(mapping);
    if (!keycode) {
        std::fprintf(stderr, "holdkey: no key makes %s\n", argv[1]);
        return 1;
    }
    xcb_generic_error_t *error = xcb_request_check(
        connection, xcb_grab_key_checked(connection, 0, root, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1,
                                         keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    if (error) {
        std::fprintf(stderr, "holdkey: the key is held already\n");
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    while (xcb_generic_event_t *event = xcb_wait_for_event(connection))
        std::free(event);
    return 0;
}
