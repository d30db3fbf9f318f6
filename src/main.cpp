#include "app/Application.h"

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    app.LoadQtTranslation();
    return 0;
}
