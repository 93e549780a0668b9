// A JavaFX application class without a main of its own.
package fx;

import javafx.application.Application;
import javafx.application.Platform;
import javafx.stage.Stage;

public class FxApp extends Application {
  @Override
  public void start(Stage stage) {
    System.out.println("started with " + getParameters().getRaw());
    Platform.exit();
  }
}
