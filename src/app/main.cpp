#include "app/ctaskapp.h"

int main(int argc, char** argv) {
    CTaskApp app(argc, argv);
    return app.Run();
}
