// The startup cache benchmark's application: builds a Swing panel of a
// table, a tree, a form and a tabbed pane (some 2,000 classes in all, none
// shown, so no display is needed), then says "ready": the first line.
package bench;

import java.awt.BorderLayout;
import java.awt.GridLayout;
import javax.swing.*;
import javax.swing.table.DefaultTableModel;
import javax.swing.tree.DefaultMutableTreeNode;

public class SwingPanel {
  public static void main(String[] args) throws Exception {
    SwingUtilities.invokeAndWait(() -> {
      JPanel panel = new JPanel(new BorderLayout());
      DefaultTableModel model = new DefaultTableModel(new Object[] {"name", "size"}, 0);
      for (int i = 0; i < 50; i++) model.addRow(new Object[] {"row " + i, i});
      panel.add(new JScrollPane(new JTable(model)), BorderLayout.CENTER);
      DefaultMutableTreeNode root = new DefaultMutableTreeNode("root");
      for (int i = 0; i < 20; i++) root.add(new DefaultMutableTreeNode("node " + i));
      panel.add(new JScrollPane(new JTree(root)), BorderLayout.WEST);
      JPanel form = new JPanel(new GridLayout(0, 2));
      form.add(new JLabel("name"));
      form.add(new JTextField(20));
      form.add(new JCheckBox("remember"));
      form.add(new JComboBox<>(new String[] {"one", "two"}));
      form.add(new JButton("OK"));
      form.add(new JSpinner());
      JTabbedPane tabs = new JTabbedPane();
      tabs.addTab("form", form);
      tabs.addTab("notes", new JScrollPane(new JTextArea(5, 20)));
      panel.add(tabs, BorderLayout.SOUTH);
      panel.doLayout();
    });
    System.out.println("ready");
  }
}
