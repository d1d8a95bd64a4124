// ventana_padre: stands in for the timetable product's window in the embedding test. Creates a plain
// X window, prints its id in hexadecimal (as the product passes it) and then obeys its standard input:
//   tamano ANCHO ALTO   resize the window
//   cerrar              destroy the window and end (also at the end of the input)
#include <xcb/xcb.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

int main()
{
    xcb_connection_t* conexion = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(conexion)) {
        std::cerr << "ventana_padre: no hay servidor X\n";
        return 1;
    }
    xcb_screen_t* pantalla = xcb_setup_roots_iterator(xcb_get_setup(conexion)).data;
    const xcb_window_t ventana = xcb_generate_id(conexion);
    const uint32_t valores[] = {pantalla->white_pixel};
    xcb_create_window(conexion, XCB_COPY_FROM_PARENT, ventana, pantalla->root, 10, 10, 700, 320, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, pantalla->root_visual, XCB_CW_BACK_PIXEL, valores);
    xcb_map_window(conexion, ventana);
    xcb_flush(conexion);
    std::printf("%X\n", ventana);
    std::fflush(stdout);

    std::string linea;
    while (std::getline(std::cin, linea)) {
        std::istringstream orden(linea);
        std::string verbo;
        orden >> verbo;
        if (verbo == "tamano") {
            uint32_t tamano[2] = {0, 0};
            orden >> tamano[0] >> tamano[1];
            xcb_configure_window(conexion, ventana, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, tamano);
            xcb_flush(conexion);
            std::printf("ok\n");
            std::fflush(stdout);
        } else if (verbo == "cerrar") {
            break;
        }
    }
    xcb_destroy_window(conexion, ventana);
    xcb_flush(conexion);
    xcb_disconnect(conexion);
    return 0;
}
