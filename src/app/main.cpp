#include "ui/calendar_app.h"

int main(int argc, char** argv) {
  lunetta::CalendarApp app(argc, argv);
  return app.InitInstance();
}
